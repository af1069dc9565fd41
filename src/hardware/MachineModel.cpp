// SPDX-License-Identifier: GPL-3.0-or-later
#include "MachineModel.h"

#include "CpuInfo.h"
#include "KernelNumber.h"
#include "KernelText.h"
#include "SysfsFile.h"

#include <QFile>

#include <fcntl.h>

namespace calidra {
namespace {

// The processor vendor is in the first processor's block, well inside this.
constexpr qsizetype CpuinfoHeadSize = 4096;

QByteArray withOneZeroByte(QByteArray text)
{
    while (text.endsWith('\0')) {
        text.chop(1);
    }
    return text.append('\0');
}

} // namespace

MachineModel::MachineModel(QString systemRoot) : m_systemRoot(QFile::encodeName(systemRoot))
{}

std::optional<QByteArray> MachineModel::property() const
{
    if (const std::optional<QByteArray> tree = deviceTreeModel()) {
        return tree;
    }
    return processorVendor();
}

std::optional<QString> MachineModel::identifier() const
{
    const std::optional<QByteArray> model = property();
    return model ? std::optional<QString>(decodeKernelText(model->first(model->size() - 1)))
                 : std::nullopt;
}

std::optional<QByteArray> MachineModel::deviceTreeModel() const
{
    const std::optional<QByteArray> model = SysfsFile::readAt(
        AT_FDCWD, (m_systemRoot + "/sys/firmware/devicetree/base/model").constData(),
        SysfsFile::Links::DoNotFollow);
    if (!model) {
        return std::nullopt;
    }
    const QByteArray terminated = withOneZeroByte(*model);
    return terminated.startsWith('\0') ? std::nullopt : std::optional<QByteArray>(terminated);
}

std::optional<QByteArray> MachineModel::processorVendor() const
{
    const std::optional<QByteArray> head =
        SysfsFile::readHead((m_systemRoot + "/proc/cpuinfo").constData(), CpuinfoHeadSize);
    const std::optional<std::string_view> vendor =
        head ? cpuinfoVendor(stringView(*head)) : std::nullopt;
    if (!vendor || vendor->empty()) {
        return std::nullopt;
    }
    return withOneZeroByte(QByteArray(vendor->data(), qsizetype(vendor->size())));
}

} // namespace calidra

// SPDX-License-Identifier: GPL-3.0-or-later
#include "IORegistryEntry.h"

#include "FolderName.h"
#include "IORegistry.h"
#include "IORegistryEnumerator.h"
#include "KernelNumber.h"
#include "KernelText.h"
#include "MachineModel.h"
#include "RegistryIterator.h"
#include "SysfsFile.h"
#include "XPathStep.h"

#include <QFile>

namespace calidra {
namespace {

// No registry folder lies deeper than this; a longer path matches nothing
// and cannot make the walk recurse without bound.
constexpr qsizetype MaximumSteps = 256;
// The most properties read into one table.
constexpr size_t MaximumProperties = 4096;

const QString DeviceTreePlane = u"IODeviceTree"_qs;
const QByteArray ModelKey = QByteArrayLiteral("model");

// Cuts a path at each "/": no empty components; a leading "/" is a first
// component "/" of its own and a trailing one a last component "/".
QStringList pathComponents(const QString& path)
{
    QStringList components = path.split(u'/', Qt::SkipEmptyParts);
    const bool hasNames = !components.isEmpty();
    if (path.startsWith(u'/')) {
        components.prepend(u"/"_qs);
    }
    if (path.endsWith(u'/') && hasNames) {
        components.append(u"/"_qs);
    }
    return components;
}

QVariant typedValue(QByteArray bytes, bool deviceTree)
{
    if (deviceTree) {
        return bytes;
    }
    if (const std::optional<qint64> number = parseKernelInteger(stringView(bytes))) {
        return qlonglong(*number);
    }
    if (bytes.endsWith('\n')) {
        bytes.chop(1);
    }
    if (bytes.isValidUtf8() && !bytes.contains('\0')) {
        return QString::fromUtf8(bytes);
    }
    return bytes;
}

QString quoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'\\', u"\\\\"_qs).replace(u'"', u"\\\""_qs).replace(u'\n', u"\\n"_qs);
    return u'"' + escaped + u'"';
}

QString valueText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::QByteArray:
        return u'<' + QString::fromLatin1(value.toByteArray().toHex()) + u'>';
    default:
        return quoted(value.toString());
    }
}

// The property table in a property-list-like text form, one key a line.
QString tableText(const std::optional<QVariantMap>& table)
{
    const QVariantMap properties = table.value_or(QVariantMap());
    QString text = u"{\n"_qs;
    for (auto property = properties.cbegin(); property != properties.cend(); ++property) {
        text += u"    "_qs + quoted(property.key()) + u" = "_qs + valueText(property.value()) +
                u";\n"_qs;
    }
    return text + u'}';
}

} // namespace

const QString IORegistryEntry::ServicePlane = u"IOService"_qs;

IORegistryEntry::IORegistryEntry(RegistryHandle entry) : m_entry(std::move(entry))
{}

IORegistryEntry::~IORegistryEntry() = default;

std::unique_ptr<IORegistryEntry> IORegistryEntry::initWithKernelEntry(RegistryHandle entry)
{
    if (entry.isNull()) {
        return nullptr;
    }
    return std::unique_ptr<IORegistryEntry>(new IORegistryEntry(std::move(entry)));
}

std::unique_ptr<IORegistryEntry> IORegistryEntry::rootEntry()
{
    return entryFromPath(ServicePlane + u":/"_qs);
}

std::unique_ptr<IORegistryEntry> IORegistryEntry::entryFromPath(const QString& path)
{
    const IORegistry* registry = IORegistry::masterPort();
    return registry ? initWithKernelEntry(registry->handleFromPath(path)) : nullptr;
}

std::optional<QString> IORegistryEntry::machineModel()
{
    IORegistry* registry = IORegistry::masterPort();
    if (!registry) {
        return std::nullopt;
    }
    if (!registry->cachedMachineModel()) {
        // The model is a property of the root entry, so there is none while
        // that root cannot be opened.
        const std::optional<QString> model =
            rootEntry() ? MachineModel(registry->systemRoot()).identifier() : std::nullopt;
        if (!model) {
            return std::nullopt;
        }
        registry->cacheMachineModel(*model);
    }
    return registry->cachedMachineModel();
}

std::unique_ptr<IORegistryEntry> IORegistryEntry::duplicate() const
{
    return initWithKernelEntry(m_entry.duplicate());
}

std::unique_ptr<IORegistryEnumerator>
IORegistryEntry::childEnumeratorOnPlane(const QString& plane) const
{
    return IORegistryEnumerator::initWithKernelIterator(
        RegistryIterator::create(m_entry, plane, 0));
}

std::unique_ptr<IORegistryEnumerator>
IORegistryEntry::parentEnumeratorOnPlane(const QString& plane) const
{
    return IORegistryEnumerator::initWithKernelIterator(
        RegistryIterator::create(m_entry, plane, RegistryIterator::Parents));
}

std::optional<QString> IORegistryEntry::name() const
{
    return FolderName::parse(m_entry.folderName()).name();
}

std::optional<QString> IORegistryEntry::nameInPlane(const QString& plane) const
{
    return plane == m_entry.plane() ? name() : std::nullopt;
}

std::optional<QString> IORegistryEntry::locationInPlane(const QString& plane) const
{
    return plane == m_entry.plane() ? FolderName::parse(m_entry.folderName()).location()
                                    : std::nullopt;
}

std::optional<QString> IORegistryEntry::pathInPlane(const QString& plane) const
{
    if (plane != m_entry.plane()) {
        return std::nullopt;
    }
    QString path = plane + u':';
    for (const QByteArray& folder : m_entry.planePath()) {
        path += u'/' + decodeKernelText(folder);
    }
    return m_entry.planePath().empty() ? path + u'/' : path;
}

bool IORegistryEntry::hasMachineModel() const
{
    return m_entry.isPlaneRoot() && m_entry.plane() == ServicePlane;
}

QVariant IORegistryEntry::propertyNamed(const QByteArray& name) const
{
    if (!RegistryHandle::isPlainName(name)) {
        return {};
    }
    if (name == ModelKey && hasMachineModel()) {
        const std::optional<QByteArray> model = MachineModel(m_entry.systemRoot()).property();
        return model ? QVariant(*model) : QVariant();
    }
    const std::optional<QByteArray> bytes =
        SysfsFile::readAt(m_entry.fd(), name.constData(), SysfsFile::Links::DoNotFollow);
    return bytes ? typedValue(*bytes, m_entry.plane() == DeviceTreePlane) : QVariant();
}

std::optional<QVariantMap> IORegistryEntry::properties() const
{
    const std::optional<std::vector<QByteArray>> names = m_entry.fileNames(MaximumProperties);
    if (!names) {
        return std::nullopt;
    }
    QVariantMap table;
    for (const QByteArray& name : *names) {
        const QVariant value = propertyNamed(name);
        if (value.isValid()) {
            table.insert(decodeKernelText(name), value);
        }
    }
    const QVariant model = hasMachineModel() ? propertyNamed(ModelKey) : QVariant();
    if (model.isValid()) {
        table.insert(QString::fromLatin1(ModelKey), model);
    }
    return table;
}

QVariant IORegistryEntry::propertyForKey(const QString& keyPath) const
{
    const QStringList components = pathComponents(keyPath);
    return components.size() == 1 ? propertyNamed(QFile::encodeName(components.first()))
                                  : QVariant();
}

QString IORegistryEntry::description() const
{
    return u"IORegistryEntry "_qs + tableText(properties());
}

RegistryObject IORegistryEntry::objectFromXPath(const QString& path, const QString& plane)
{
    QStringList steps = pathComponents(path);
    if (steps.isEmpty() || steps.first() != u"/" || steps.size() > MaximumSteps) {
        return {};
    }
    steps.removeFirst();
    const std::unique_ptr<IORegistryEntry> root = entryFromPath(plane + u":/"_qs);
    return root ? root->_objectFromRelativeXPathComponents(steps, plane) : RegistryObject();
}

std::unique_ptr<IORegistryEntry> IORegistryEntry::entryFromXPath(const QString& path)
{
    return objectFromXPath(path, ServicePlane).entry;
}

RegistryObject IORegistryEntry::objectFromRelativeXPath(const QString& path,
                                                        const QString& plane) const
{
    QStringList steps = pathComponents(path);
    if (steps.isEmpty() || steps.first() == u"/" || steps.size() > MaximumSteps) {
        return {};
    }
    return _objectFromRelativeXPathComponents(steps, plane);
}

// Depth first through the children in enumeration order: the first complete
// match wins. A step that fails goes back to the front of `steps`, so that
// the caller can try its next candidate with the whole remaining path.
RegistryObject IORegistryEntry::_objectFromRelativeXPathComponents(QStringList& steps,
                                                                   const QString& plane) const
{
    if (steps.isEmpty()) {
        return RegistryObject(duplicate());
    }
    const QString step = steps.takeFirst();
    RegistryObject result = step.startsWith(u'@') ? RegistryObject(propertyForKey(step.mid(1)))
                                                  : entryStep(step, steps, plane);
    if (result.isAbsent()) {
        steps.prepend(step);
    }
    return result;
}

RegistryObject IORegistryEntry::entryStep(const QString& step, QStringList& steps,
                                          const QString& plane) const
{
    const std::optional<XPathStep> parsed = XPathStep::parse(step);
    const std::unique_ptr<IORegistryEnumerator> children = childEnumeratorOnPlane(plane);
    if (!parsed || !children) {
        return {};
    }
    quint64 sameName = 0;
    while (const std::unique_ptr<IORegistryEntry> child = children->nextObject()) {
        if (child->nameInPlane(plane) != parsed->name()) {
            continue;
        }
        switch (parsed->form()) {
        case XPathStep::Form::Index:
            if (sameName++ != parsed->index()) {
                continue;
            }
            return child->_objectFromRelativeXPathComponents(steps, plane);
        case XPathStep::Form::AttributePresent:
            if (!child->propertyForKey(parsed->key()).isValid()) {
                continue;
            }
            break;
        case XPathStep::Form::AttributeValue: {
            const QVariant property = child->propertyForKey(parsed->key());
            if (property.typeId() != QMetaType::QString || property.toString() != parsed->value()) {
                continue;
            }
            break;
        }
        case XPathStep::Form::Plain:
            break;
        }
        RegistryObject result = child->_objectFromRelativeXPathComponents(steps, plane);
        if (!result.isAbsent()) {
            return result;
        }
    }
    return {};
}

} // namespace calidra

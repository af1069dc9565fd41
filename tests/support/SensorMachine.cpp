// SPDX-License-Identifier: GPL-3.0-or-later
#include "SensorMachine.h"

namespace calidra {

void SensorMachine::add(FixtureTree& tree, const Numbers& numbers)
{
    tree.addBusDevice(u"platform/coretemp.0"_qs, u"platform"_qs);
    tree.addDeviceHwmon(u"platform/coretemp.0"_qs, numbers.coretemp, "coretemp",
                        {{"Package id 0", "55000"}, {"Core 0", "53000"}, {"Core 1", "54000"}});
    tree.addBusDevice(GpuDevice, u"pci"_qs);
    tree.addDeviceHwmon(GpuDevice, numbers.amdgpu, "amdgpu",
                        {{"edge", "48000"}, {"junction", "51000"}, {"mem", "50000"}});
    const QString controller = DriveDevice + u"/nvme/nvme%1"_qs.arg(numbers.controller);
    tree.addBusDevice(DriveDevice, u"pci"_qs);
    tree.addFolder(u"sys/class/nvme"_qs);
    tree.addSymlink(u"sys/devices/"_qs + controller + u"/subsystem"_qs,
                    tree.absolute(u"sys/class/nvme"_qs));
    tree.addDeviceHwmon(controller, numbers.nvme, "nvme",
                        {{"Composite", "39850"}, {"Sensor 1", "39850"}, {"Sensor 2", "45850"}});
    tree.addBusDevice(u"platform/nct6775.656"_qs, u"platform"_qs);
    tree.addDeviceHwmon(u"platform/nct6775.656"_qs, numbers.board, "nct6798",
                        {{"SYSTIN", "35000"}, {"CPUTIN", "41500"}, {"AUXTIN0", "-62000"}});
    tree.addHwmon(numbers.acpitz, "acpitz", {{nullptr, "27800"}});
    tree.addBusDevice(ZoneDevice, u"acpi"_qs);
    tree.addThermalZone(0, "acpitz", "27800");
    tree.addSymlink(FixtureTree::thermalZone(0) + u"device"_qs,
                    tree.absolute(u"sys/devices/"_qs + ZoneDevice));
    tree.addThermalZone(1, "x86_pkg_temp", "55000");
}

void SensorMachine::add(FixtureTree& tree)
{
    add(tree, Numbers());
}

QString SensorMachine::gpuEdge()
{
    return u"{\"device\":\""_qs + GpuDevice + u"\",\"driver\":\"amdgpu\",\"label\":\"edge\"}"_qs;
}

} // namespace calidra

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <optional>
#include <string_view>

namespace calidra {

/// The number of "processor" lines in the text of /proc/cpuinfo; absent when
/// there is none.
std::optional<qint32> cpuinfoProcessorCount(std::string_view cpuinfo);

/// The first "cpu MHz" line of the text of /proc/cpuinfo ("cpu MHz\t\t: 2333.000"),
/// rounded to the nearest megahertz. Only complete lines count, so text cut off
/// in the middle of that line gives nothing. Absent when there is no such line
/// or its value is not a finite decimal number that fits in 32 bits.
std::optional<qint32> cpuinfoMegahertz(std::string_view cpuinfo);

/// The value of the first line of the text of /proc/cpuinfo whose key is
/// `key` ("vendor_id\t: GenuineIntel", "cpu family\t: 25"), with the white
/// space around it and around its key dropped; a last line without its line
/// feed counts too, since a head of the file may end inside it. The first
/// processor's lines come first. Absent when there is no such line.
std::optional<std::string_view> cpuinfoField(std::string_view cpuinfo, std::string_view key);

/// The value of the first "vendor_id" line (cpuinfoField).
std::optional<std::string_view> cpuinfoVendor(std::string_view cpuinfo);

} // namespace calidra

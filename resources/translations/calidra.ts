<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>AppearancePane</name>
    <message>
        <source>Temperature unit:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Celsius</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fahrenheit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Regional Settings...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Font size:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> pt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the icon in the panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature and frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Side by side</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One above the other</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Calidra</name>
    <message>
        <source>Please wait...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating every %1.1f seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Average</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i weeks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%i second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Privileged operation failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The application seems to have been tampered with. Please reinstall Calidra.

Continuing may put your computer at severe risk. It is strongly recommended not to proceed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proceed Anyway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proceed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel and Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last ten minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Since start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Calidra</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No working temperature sensors found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra was unable to find a sensor (ID: %@).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the processor&apos;s temperature and clock frequency in the system tray, with their statistics.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Statistics...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ten Minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overall</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%@ Report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current %@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Statistics for last ten minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overall statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Running for %@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra Report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra Report File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The report could not be saved to “%@”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Appearance Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra cannot start at login from “%@”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The desktop cannot start a program whose folder name holds “%” or is not valid UTF-8. Move Calidra to a folder whose name has no “%” and only valid UTF-8, then turn this on again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit and Uninstall...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The panel chooses the size: the values fill a tray icon, or take the panel&apos;s font beside the icon.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The panel chooses the arrangement: two values are stacked in a tray icon, and stand side by side in a panel label.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The icon stands before a panel label; in a tray icon it is shown only while the values keep their size beside it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No reading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature sensor: %@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The temperature is not measured.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Released under the GNU General Public License, version 3 or later.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra could not start pkexec, which asks for an administrator&apos;s password. Install pkexec (the package &quot;pkexec&quot; or &quot;polkit&quot;), or load the driver yourself in a terminal:

%@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No polkit authentication agent is running, so nothing could ask for an administrator&apos;s password. Start your desktop&apos;s polkit agent (or install one), or load the driver yourself in a terminal:

%@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The polkit service, which decides who may act as an administrator, could not be reached. Start it (or install polkit), or load the driver yourself in a terminal:

%@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The password dialog was closed without a password. Calidra offers to load the driver again at its next start; you can also load it yourself in a terminal:

%@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The password was not accepted, or this user may not act as an administrator. An administrator can load the driver in a terminal:

%@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The script that loads the driver failed. Load the driver yourself in a terminal to see why:

%@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sudo modprobe coretemp    (Intel processors)
sudo modprobe k10temp    (AMD processors)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The processor&apos;s temperature driver was not loaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The processor&apos;s temperature driver needs to be loaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In order to gauge temperature or frequency values on this computer, Calidra needs to load the processor&apos;s temperature driver, now and at every start of the computer. This requires an administrator&apos;s password, but only needs to be done once.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This machine has no known temperature sensor.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sensor (%@) gives no reading.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The processor&apos;s clock frequency cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The processor temperature driver (%@) is not loaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sensor table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra was installed for all users by the package manager, which also removes it. Run this command in a terminal:

%@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its folder cannot be changed by you, or the Trash is on another file system. To remove Calidra, run this command in a terminal:

%@</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra could not be moved to the Trash.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy Command and Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No settings tool for startup applications was found on this desktop.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Appearance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The processor is hot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The temperature is %@, at or above the warning level of %@. Highest in the last ten minutes: %@.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra&apos;s driver helper (%@) is not owned by the administrator or can be changed by other users, so Calidra does not run it. Please reinstall Calidra.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No samples yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose what to remove before Calidra quits. Calidra itself was installed by the package manager, which removes it: run “%@” in a terminal.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra cannot be shown in the panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calidra is running, but nothing shows it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GNOME Shell shows tray icons only with an extension: turn on “AppIndicator and KStatusNotifierItem Support” in the Extensions app (Debian package gnome-shell-extension-appindicator), then log out and in again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This desktop shows tray icons only in a bar with a tray: start one, for example waybar with its “tray” module.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This desktop has no system tray to show it in: add a system tray (notification area) to your panel.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No settings tool for regional settings was found on this desktop.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExternalWindowView</name>
    <message>
        <source>Calidra Statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Results</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy to Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save to File...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GeneralPane</name>
    <message>
        <source>Measure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frequency only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature and frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sampling</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start-up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Calidra when I log in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Startup Applications...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warn when the temperature reaches</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreferencesWindowView</name>
    <message>
        <source>Calidra Preferences</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UninstallAlertView</name>
    <message>
        <source>Uninstall Calidra</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;b&gt;Uninstall Calidra&lt;/b&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose what to remove before Calidra quits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Calidra&apos;s preferences to the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Calidra to the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Without Removing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove and Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>coretemp or k10temp; this asks for an administrator&apos;s password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop loading the processor temperature driver at start-up</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

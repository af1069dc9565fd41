<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AppearancePane</name>
    <message>
        <source>Temperature unit:</source>
        <translation>Temperatureinheit:</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Celsius</source>
        <translation>Celsius</translation>
    </message>
    <message>
        <source>Fahrenheit</source>
        <translation>Fahrenheit</translation>
    </message>
    <message>
        <source>Regional Settings...</source>
        <translation>Regionaleinstellungen...</translation>
    </message>
    <message>
        <source>Font size:</source>
        <translation>Schriftgröße:</translation>
    </message>
    <message>
        <source> pt</source>
        <translation> pt</translation>
    </message>
    <message>
        <source>Show the icon in the panel</source>
        <translation>Das Symbol in der Leiste zeigen</translation>
    </message>
    <message>
        <source>Temperature and frequency</source>
        <translation>Temperatur und Frequenz</translation>
    </message>
    <message>
        <source>Side by side</source>
        <translation>Nebeneinander</translation>
    </message>
    <message>
        <source>One above the other</source>
        <translation>Übereinander</translation>
    </message>
</context>
<context>
    <name>Calidra</name>
    <message>
        <source>Please wait...</source>
        <translation>Bitte warten...</translation>
    </message>
    <message>
        <source>Updating every %1.1f seconds</source>
        <translation>Aktualisierung alle %1.1f Sekunden</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Durchschnitt</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>%i weeks</source>
        <translation>%i Wochen</translation>
    </message>
    <message>
        <source>%i week</source>
        <translation>%i Woche</translation>
    </message>
    <message>
        <source>%i days</source>
        <translation>%i Tage</translation>
    </message>
    <message>
        <source>%i day</source>
        <translation>%i Tag</translation>
    </message>
    <message>
        <source>%i hours</source>
        <translation>%i Stunden</translation>
    </message>
    <message>
        <source>%i hour</source>
        <translation>%i Stunde</translation>
    </message>
    <message>
        <source>%i minutes</source>
        <translation>%i Minuten</translation>
    </message>
    <message>
        <source>%i minute</source>
        <translation>%i Minute</translation>
    </message>
    <message>
        <source>%i seconds</source>
        <translation>%i Sekunden</translation>
    </message>
    <message>
        <source>%i second</source>
        <translation>%i Sekunde</translation>
    </message>
    <message>
        <source>Privileged operation failed.</source>
        <translation>Der Vorgang mit Administratorrechten ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>The application seems to have been tampered with. Please reinstall Calidra.

Continuing may put your computer at severe risk. It is strongly recommended not to proceed.</source>
        <translation>Das Programm scheint verändert worden zu sein. Bitte installieren Sie Calidra neu.

Wenn Sie fortfahren, kann Ihr Computer ernsthaft gefährdet sein. Es wird dringend empfohlen, nicht fortzufahren.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Proceed Anyway</source>
        <translation>Trotzdem fortfahren</translation>
    </message>
    <message>
        <source>Proceed</source>
        <translation>Fortfahren</translation>
    </message>
    <message>
        <source>Cancel and Quit</source>
        <translation>Abbrechen und beenden</translation>
    </message>
    <message>
        <source>Last ten minutes</source>
        <translation>Letzte zehn Minuten</translation>
    </message>
    <message>
        <source>Since start</source>
        <translation>Seit dem Start</translation>
    </message>
    <message>
        <source>About Calidra</source>
        <translation>Über Calidra</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>No working temperature sensors found.</source>
        <translation>Kein funktionierender Temperatursensor gefunden.</translation>
    </message>
    <message>
        <source>Calidra was unable to find a sensor (ID: %@).</source>
        <translation>Calidra konnte keinen Sensor finden (Kennung: %@).</translation>
    </message>
    <message>
        <source>Shows the processor&apos;s temperature and clock frequency in the system tray, with their statistics.</source>
        <translation>Zeigt die Temperatur und die Taktfrequenz des Prozessors in der Kontrollleiste, mit ihrer Statistik.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Statistics...</source>
        <translation>Statistik...</translation>
    </message>
    <message>
        <source>Ten Minutes</source>
        <translation>Zehn Minuten</translation>
    </message>
    <message>
        <source>Overall</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Aktuell</translation>
    </message>
    <message>
        <source>%@ Report</source>
        <translation>%@-Bericht</translation>
    </message>
    <message>
        <source>Current %@</source>
        <translation>%@ aktuell</translation>
    </message>
    <message>
        <source>Statistics for last ten minutes</source>
        <translation>Statistik der letzten zehn Minuten</translation>
    </message>
    <message>
        <source>Overall statistics</source>
        <translation>Gesamtstatistik</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatur</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
    <message>
        <source>Running for %@</source>
        <translation>Läuft seit %@</translation>
    </message>
    <message>
        <source>Calidra Report</source>
        <translation>Calidra-Bericht</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>Calidra Report File</source>
        <translation>Calidra-Berichtsdatei</translation>
    </message>
    <message>
        <source>The report could not be saved to “%@”.</source>
        <translation>Der Bericht konnte nicht unter „%@“ gesichert werden.</translation>
    </message>
    <message>
        <source>General Preferences</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>Appearance Preferences</source>
        <translation>Einstellungen zur Darstellung</translation>
    </message>
    <message>
        <source>Calidra cannot start at login from “%@”.</source>
        <translation>Calidra kann beim Anmelden nicht aus „%@“ gestartet werden.</translation>
    </message>
    <message>
        <source>The desktop cannot start a program whose folder name holds “%” or is not valid UTF-8. Move Calidra to a folder whose name has no “%” and only valid UTF-8, then turn this on again.</source>
        <translation>Die Arbeitsumgebung kann kein Programm starten, dessen Ordnername „%“ enthält oder kein gültiges UTF-8 ist. Verschieben Sie Calidra in einen Ordner, dessen Name kein „%“ und nur gültiges UTF-8 enthält, und schalten Sie dies dann wieder ein.</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <source>Quit and Uninstall...</source>
        <translation>Beenden und deinstallieren...</translation>
    </message>
    <message>
        <source>The panel chooses the size: the values fill a tray icon, or take the panel&apos;s font beside the icon.</source>
        <translation>Die Leiste wählt die Größe: Die Werte füllen ein Symbol in der Kontrollleiste oder stehen in der Schrift der Leiste neben dem Symbol.</translation>
    </message>
    <message>
        <source>The panel chooses the arrangement: two values are stacked in a tray icon, and stand side by side in a panel label.</source>
        <translation>Die Leiste wählt die Anordnung: In einem Symbol stehen zwei Werte übereinander, in einer Beschriftung der Leiste nebeneinander.</translation>
    </message>
    <message>
        <source>The icon stands before a panel label; in a tray icon it is shown only while the values keep their size beside it.</source>
        <translation>Das Symbol steht vor der Beschriftung in der Leiste; in einem Symbol der Kontrollleiste erscheint es nur, solange die Werte daneben ihre Größe behalten.</translation>
    </message>
    <message>
        <source>No reading</source>
        <translation>Kein Messwert</translation>
    </message>
    <message>
        <source>Temperature sensor: %@</source>
        <translation>Temperatursensor: %@</translation>
    </message>
    <message>
        <source>The temperature is not measured.</source>
        <translation>Die Temperatur wird nicht gemessen.</translation>
    </message>
    <message>
        <source>Released under the GNU General Public License, version 3 or later.</source>
        <translation>Veröffentlicht unter der GNU General Public License, Version 3 oder neuer.</translation>
    </message>
    <message>
        <source>Calidra could not start pkexec, which asks for an administrator&apos;s password. Install pkexec (the package &quot;pkexec&quot; or &quot;polkit&quot;), or load the driver yourself in a terminal:

%@</source>
        <translation>Calidra konnte pkexec nicht starten, das nach dem Passwort eines Administrators fragt. Installieren Sie pkexec (das Paket „pkexec“ oder „polkit“) oder laden Sie den Treiber selbst in einem Terminal:

%@</translation>
    </message>
    <message>
        <source>No polkit authentication agent is running, so nothing could ask for an administrator&apos;s password. Start your desktop&apos;s polkit agent (or install one), or load the driver yourself in a terminal:

%@</source>
        <translation>Es läuft kein polkit-Legitimierungsagent, daher konnte niemand nach dem Passwort eines Administrators fragen. Starten Sie den polkit-Agenten Ihrer Arbeitsumgebung (oder installieren Sie einen) oder laden Sie den Treiber selbst in einem Terminal:

%@</translation>
    </message>
    <message>
        <source>The polkit service, which decides who may act as an administrator, could not be reached. Start it (or install polkit), or load the driver yourself in a terminal:

%@</source>
        <translation>Der polkit-Dienst, der entscheidet, wer als Administrator handeln darf, war nicht erreichbar. Starten Sie ihn (oder installieren Sie polkit) oder laden Sie den Treiber selbst in einem Terminal:

%@</translation>
    </message>
    <message>
        <source>The password dialog was closed without a password. Calidra offers to load the driver again at its next start; you can also load it yourself in a terminal:

%@</source>
        <translation>Der Passwortdialog wurde ohne Passwort geschlossen. Calidra bietet beim nächsten Start erneut an, den Treiber zu laden; Sie können ihn auch selbst in einem Terminal laden:

%@</translation>
    </message>
    <message>
        <source>The password was not accepted, or this user may not act as an administrator. An administrator can load the driver in a terminal:

%@</source>
        <translation>Das Passwort wurde nicht angenommen, oder dieser Benutzer darf nicht als Administrator handeln. Ein Administrator kann den Treiber in einem Terminal laden:

%@</translation>
    </message>
    <message>
        <source>The script that loads the driver failed. Load the driver yourself in a terminal to see why:

%@</source>
        <translation>Das Skript, das den Treiber lädt, ist fehlgeschlagen. Laden Sie den Treiber selbst in einem Terminal, um den Grund zu sehen:

%@</translation>
    </message>
    <message>
        <source>sudo modprobe coretemp    (Intel processors)
sudo modprobe k10temp    (AMD processors)</source>
        <translation>sudo modprobe coretemp    (Intel-Prozessoren)
sudo modprobe k10temp    (AMD-Prozessoren)</translation>
    </message>
    <message>
        <source>The processor&apos;s temperature driver was not loaded.</source>
        <translation>Der Temperaturtreiber des Prozessors wurde nicht geladen.</translation>
    </message>
    <message>
        <source>The processor&apos;s temperature driver needs to be loaded.</source>
        <translation>Der Temperaturtreiber des Prozessors muss geladen werden.</translation>
    </message>
    <message>
        <source>In order to gauge temperature or frequency values on this computer, Calidra needs to load the processor&apos;s temperature driver, now and at every start of the computer. This requires an administrator&apos;s password, but only needs to be done once.</source>
        <translation>Um auf diesem Computer Temperatur oder Frequenz zu messen, muss Calidra den Temperaturtreiber des Prozessors laden, jetzt und bei jedem Start des Computers. Dazu ist das Passwort eines Administrators nötig, aber nur ein einziges Mal.</translation>
    </message>
    <message>
        <source>This machine has no known temperature sensor.</source>
        <translation>Dieser Computer hat keinen bekannten Temperatursensor.</translation>
    </message>
    <message>
        <source>The sensor (%@) gives no reading.</source>
        <translation>Der Sensor (%@) liefert keinen Messwert.</translation>
    </message>
    <message>
        <source>The processor&apos;s clock frequency cannot be read.</source>
        <translation>Die Taktfrequenz des Prozessors kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The processor temperature driver (%@) is not loaded.</source>
        <translation>Der Temperaturtreiber des Prozessors (%@) ist nicht geladen.</translation>
    </message>
    <message>
        <source>sensor table</source>
        <translation>Sensortabelle</translation>
    </message>
    <message>
        <source>Calidra was installed for all users by the package manager, which also removes it. Run this command in a terminal:

%@</source>
        <translation>Calidra wurde von der Paketverwaltung für alle Benutzer installiert, die es auch entfernt. Führen Sie diesen Befehl in einem Terminal aus:

%@</translation>
    </message>
    <message>
        <source>Its folder cannot be changed by you, or the Trash is on another file system. To remove Calidra, run this command in a terminal:

%@</source>
        <translation>Sie können seinen Ordner nicht ändern, oder der Papierkorb liegt auf einem anderen Dateisystem. Um Calidra zu entfernen, führen Sie diesen Befehl in einem Terminal aus:

%@</translation>
    </message>
    <message>
        <source>Calidra could not be moved to the Trash.</source>
        <translation>Calidra konnte nicht in den Papierkorb verschoben werden.</translation>
    </message>
    <message>
        <source>Copy Command and Quit</source>
        <translation>Befehl kopieren und beenden</translation>
    </message>
    <message>
        <source>No settings tool for startup applications was found on this desktop.</source>
        <translation>Auf dieser Arbeitsumgebung wurde kein Einstellungsprogramm für Startprogramme gefunden.</translation>
    </message>
    <message>
        <source>&amp;General</source>
        <translation>&amp;Allgemein</translation>
    </message>
    <message>
        <source>&amp;Appearance</source>
        <translation>&amp;Darstellung</translation>
    </message>
    <message>
        <source>The processor is hot</source>
        <translation>Der Prozessor ist heiß</translation>
    </message>
    <message>
        <source>The temperature is %@, at or above the warning level of %@. Highest in the last ten minutes: %@.</source>
        <translation>Die Temperatur beträgt %@ und hat die Warnschwelle von %@ erreicht. Höchstwert der letzten zehn Minuten: %@.</translation>
    </message>
    <message>
        <source>Calidra&apos;s driver helper (%@) is not owned by the administrator or can be changed by other users, so Calidra does not run it. Please reinstall Calidra.</source>
        <translation>Das Treiberhilfsprogramm von Calidra (%@) gehört nicht dem Administrator oder kann von anderen Benutzern geändert werden, daher führt Calidra es nicht aus. Bitte installieren Sie Calidra neu.</translation>
    </message>
    <message>
        <source>No samples yet</source>
        <translation>Noch keine Messwerte</translation>
    </message>
    <message>
        <source>Choose what to remove before Calidra quits. Calidra itself was installed by the package manager, which removes it: run “%@” in a terminal.</source>
        <translation>Wählen Sie, was entfernt werden soll, bevor Calidra beendet wird. Calidra selbst wurde von der Paketverwaltung installiert, die es auch entfernt: Führen Sie „%@“ in einem Terminal aus.</translation>
    </message>
    <message>
        <source>Calidra cannot be shown in the panel</source>
        <translation>Calidra kann in der Leiste nicht angezeigt werden</translation>
    </message>
    <message>
        <source>Calidra is running, but nothing shows it.</source>
        <translation>Calidra läuft, aber nichts zeigt es an.</translation>
    </message>
    <message>
        <source>Open Statistics</source>
        <translation>Statistik öffnen</translation>
    </message>
    <message>
        <source>GNOME Shell shows tray icons only with an extension: turn on “AppIndicator and KStatusNotifierItem Support” in the Extensions app (Debian package gnome-shell-extension-appindicator), then log out and in again.</source>
        <translation>Die GNOME Shell zeigt Programmsymbole in der Leiste nur mit einer Erweiterung: Schalten Sie „AppIndicator and KStatusNotifierItem Support“ in der Anwendung „Erweiterungen“ ein (Debian-Paket gnome-shell-extension-appindicator), und melden Sie sich dann ab und wieder an.</translation>
    </message>
    <message>
        <source>This desktop shows tray icons only in a bar with a tray: start one, for example waybar with its “tray” module.</source>
        <translation>Diese Arbeitsumgebung zeigt Programmsymbole nur in einer Leiste mit Kontrollleiste: Starten Sie eine, zum Beispiel waybar mit seinem Modul „tray“.</translation>
    </message>
    <message>
        <source>This desktop has no system tray to show it in: add a system tray (notification area) to your panel.</source>
        <translation>Diese Arbeitsumgebung hat keine Kontrollleiste, in der es erscheinen kann: Fügen Sie Ihrer Leiste eine Kontrollleiste (Benachrichtigungsfeld) hinzu.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No settings tool for regional settings was found on this desktop.</source>
        <translation>Für die Ländereinstellungen wurde in dieser Arbeitsumgebung kein Einstellungsprogramm gefunden.</translation>
    </message>
</context>
<context>
    <name>ExternalWindowView</name>
    <message>
        <source>Calidra Statistics</source>
        <translation>Calidra-Statistik</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
    <message>
        <source>Copy to Clipboard</source>
        <translation>In die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Save to File...</source>
        <translation>In Datei sichern...</translation>
    </message>
</context>
<context>
    <name>GeneralPane</name>
    <message>
        <source>Measure</source>
        <translation>Messen</translation>
    </message>
    <message>
        <source>Temperature only</source>
        <translation>Nur Temperatur</translation>
    </message>
    <message>
        <source>Frequency only</source>
        <translation>Nur Frequenz</translation>
    </message>
    <message>
        <source>Temperature and frequency</source>
        <translation>Temperatur und Frequenz</translation>
    </message>
    <message>
        <source>Sampling</source>
        <translation>Messintervall</translation>
    </message>
    <message>
        <source>Start-up</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Start Calidra when I log in</source>
        <translation>Calidra beim Anmelden starten</translation>
    </message>
    <message>
        <source>Startup Applications...</source>
        <translation>Startprogramme...</translation>
    </message>
    <message>
        <source>Temperature warning</source>
        <translation>Temperaturwarnung</translation>
    </message>
    <message>
        <source>Warn when the temperature reaches</source>
        <translation>Warnen, wenn die Temperatur erreicht</translation>
    </message>
</context>
<context>
    <name>PreferencesWindowView</name>
    <message>
        <source>Calidra Preferences</source>
        <translation>Calidra-Einstellungen</translation>
    </message>
</context>
<context>
    <name>UninstallAlertView</name>
    <message>
        <source>Uninstall Calidra</source>
        <translation>Calidra deinstallieren</translation>
    </message>
    <message>
        <source>&lt;b&gt;Uninstall Calidra&lt;/b&gt;</source>
        <translation>&lt;b&gt;Calidra deinstallieren&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Choose what to remove before Calidra quits.</source>
        <translation>Wählen Sie, was vor dem Beenden von Calidra entfernt werden soll.</translation>
    </message>
    <message>
        <source>Move Calidra&apos;s preferences to the Trash</source>
        <translation>Die Einstellungen von Calidra in den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>Move Calidra to the Trash</source>
        <translation>Calidra in den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Quit Without Removing</source>
        <translation>Beenden, ohne zu entfernen</translation>
    </message>
    <message>
        <source>Remove and Quit</source>
        <translation>Entfernen und beenden</translation>
    </message>
    <message>
        <source>coretemp or k10temp; this asks for an administrator&apos;s password.</source>
        <translation>coretemp oder k10temp; dazu wird nach dem Passwort eines Administrators gefragt.</translation>
    </message>
    <message>
        <source>Stop loading the processor temperature driver at start-up</source>
        <translation>Temperaturtreiber des Prozessors nicht mehr beim Systemstart laden</translation>
    </message>
</context>
</TS>

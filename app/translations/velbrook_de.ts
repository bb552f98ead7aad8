<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutView</name>
    <message>
        <source>Ver: %1 (%2) </source>
        <translation>Ver: %1 (%2) </translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Help %1</source>
        <translation>%1-Hilfe</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>Select Source</source>
        <translation>Quelle auswählen</translation>
    </message>
    <message>
        <source>Select Source…</source>
        <translation>Quelle auswählen …</translation>
    </message>
    <message>
        <source>Select Destination</source>
        <translation>Ziel auswählen</translation>
    </message>
    <message>
        <source>Select Destination…</source>
        <translation>Ziel auswählen …</translation>
    </message>
    <message>
        <source>Create Bootable ISO</source>
        <translation>Bootfähiges ISO erstellen</translation>
    </message>
    <message>
        <source>Cancel Export</source>
        <translation>Export abbrechen</translation>
    </message>
</context>
<context>
    <name>ExportChecks</name>
    <message>
        <source>the image name %1 is longer than %2 bytes</source>
        <translation>der Image-Name %1 ist länger als %2 Bytes</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1 lässt sich nicht öffnen: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>in %1 lässt sich nicht schreiben: %2</translation>
    </message>
    <message>
        <source>The whole file system cannot be exported; choose a folder inside it</source>
        <translation>Das ganze Dateisystem lässt sich nicht exportieren; wählen Sie einen Ordner darin</translation>
    </message>
    <message>
        <source>cannot follow the link %1: %2</source>
        <translation>dem Link %1 lässt sich nicht folgen: %2</translation>
    </message>
</context>
<context>
    <name>ExportJob</name>
    <message>
        <source>%1 already exists in %2</source>
        <translation>%1 gibt es bereits in %2</translation>
    </message>
    <message>
        <source>cannot start the image tool %1: %2</source>
        <translation>das Image-Werkzeug %1 lässt sich nicht starten: %2</translation>
    </message>
    <message>
        <source>the image tool was stopped by signal %1 (%2)</source>
        <translation>das Image-Werkzeug wurde durch Signal %1 beendet (%2)</translation>
    </message>
    <message>
        <source>the image tool failed with exit status %1</source>
        <translation>das Image-Werkzeug ist mit Status %1 gescheitert</translation>
    </message>
    <message>
        <source>cannot replace %1: %2</source>
        <translation>%1 lässt sich nicht ersetzen: %2</translation>
    </message>
</context>
<context>
    <name>FailureText</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 lässt sich nicht lesen: %2</translation>
    </message>
    <message>
        <source>%1 changed while it was being imaged</source>
        <translation>%1 hat sich geändert, während das Abbild entstand</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>in %1 lässt sich nicht schreiben: %2</translation>
    </message>
    <message>
        <source>the image needs %1, but %2 has only %3 free</source>
        <translation>das Abbild braucht %1, aber auf %2 sind nur %3 frei</translation>
    </message>
    <message>
        <source>the image needs %1, but %2 holds files of up to %3</source>
        <translation>das Abbild braucht %1, aber %2 fasst Dateien von höchstens %3</translation>
    </message>
    <message>
        <source>%1 has %2 folders, but an ISO 9660 image holds at most %3</source>
        <translation>%1 hat %2 Ordner, ein ISO-9660-Abbild fasst aber höchstens %3</translation>
    </message>
</context>
<context>
    <name>FreedesktopDesktop</name>
    <message>
        <source>Show Window</source>
        <translation>Fenster zeigen</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
</context>
<context>
    <name>HelpView</name>
    <message>
        <source>Available Commands</source>
        <translation>Verfügbare Befehle</translation>
    </message>
</context>
<context>
    <name>JobFolder</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot name a folder</source>
        <translation>„%1“ kann keinen Ordner benennen</translation>
    </message>
    <message>
        <source>cannot create a folder in %1</source>
        <translation>in %1 lässt sich kein Ordner anlegen</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>%1 lässt sich nicht anlegen</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>No file manager could show %1.</source>
        <translation>Kein Dateimanager konnte %1 zeigen.</translation>
    </message>
    <message>
        <source>It is in %1</source>
        <translation>Es liegt in %1</translation>
    </message>
    <message>
        <source>No source selected</source>
        <translation>Keine Quelle ausgewählt</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Exportfortschritt</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>No destination selected</source>
        <translation>Kein Ziel ausgewählt</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <source>Destination folder:</source>
        <translation>Zielordner:</translation>
    </message>
    <message>
        <source>Preparing…</source>
        <translation>Wird vorbereitet …</translation>
    </message>
    <message>
        <source>Copying %1 of %2…</source>
        <translation>%1 von %2 kopiert …</translation>
    </message>
    <message>
        <source>Exported ISO Size: %1 MB</source>
        <translation>Größe des exportierten ISO: %1 MB</translation>
    </message>
    <message>
        <source>Show %1 in Folder</source>
        <translation>%1 im Ordner zeigen</translation>
    </message>
    <message>
        <source>Show %1 in its folder</source>
        <translation>%1 in seinem Ordner zeigen</translation>
    </message>
    <message>
        <source>(1 special file left out)</source>
        <translation>(1 Spezialdatei ausgelassen)</translation>
    </message>
    <message>
        <source>(%1 special files left out)</source>
        <translation>(%1 Spezialdateien ausgelassen)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Export of %1 cancelled</source>
        <translation>Export von %1 abgebrochen</translation>
    </message>
    <message>
        <source>Export of %1 failed: %2</source>
        <translation>Export von %1 gescheitert: %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>copying</source>
        <translation>wird kopiert</translation>
    </message>
    <message>
        <source>preparing</source>
        <translation>wird vorbereitet</translation>
    </message>
    <message>
        <source>%1, exporting, %2 %</source>
        <translation>%1, Export läuft, %2 %</translation>
    </message>
    <message>
        <source>Export failed</source>
        <translation>Export gescheitert</translation>
    </message>
    <message>
        <source>Image created</source>
        <translation>Image erstellt</translation>
    </message>
    <message>
        <source>%1, %2 MB</source>
        <translation>%1, %2 MB</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>%1: no such file or folder</source>
        <translation>%1: keine solche Datei und kein solcher Ordner</translation>
    </message>
</context>
<context>
    <name>MenuBar</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>New Window</source>
        <translation>Neues Fenster</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Fenster schließen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
</context>
<context>
    <name>SourceStaging</name>
    <message>
        <source>%1 MB in %2</source>
        <translation>%1 MB in %2</translation>
    </message>
    <message>
        <source>staging needs %1 MB outside %2, but the temporary and cache folders are inside it</source>
        <translation>die Bereitstellung braucht %1 MB außerhalb von %2, aber der temporäre und der Cache-Ordner liegen darin</translation>
    </message>
    <message>
        <source>staging needs %1 MB, but only %2 are free</source>
        <translation>die Bereitstellung braucht %1 MB, aber frei sind nur %2</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>%1 lässt sich nicht anlegen</translation>
    </message>
</context>
<context>
    <name>StagedCopy</name>
    <message>
        <source>cannot open %1</source>
        <translation>%1 lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>%1 lässt sich nicht lesen</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>%1 lässt sich nicht anlegen</translation>
    </message>
    <message>
        <source>cannot examine %1</source>
        <translation>%1 lässt sich nicht untersuchen</translation>
    </message>
    <message>
        <source>cannot set the permissions of %1</source>
        <translation>die Rechte von %1 lassen sich nicht setzen</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>%1 lässt sich nicht schreiben</translation>
    </message>
    <message>
        <source>the file size limit stops writing %1</source>
        <translation>die Dateigrößenbeschränkung verhindert das Schreiben von %1</translation>
    </message>
    <message>
        <source>cannot set the times of %1</source>
        <translation>die Zeiten von %1 lassen sich nicht setzen</translation>
    </message>
    <message>
        <source>cannot read the link %1</source>
        <translation>der Link %1 lässt sich nicht lesen</translation>
    </message>
    <message>
        <source>cannot follow the link %1</source>
        <translation>dem Link %1 lässt sich nicht folgen</translation>
    </message>
    <message>
        <source>cannot export %1: only files, folders and bundles can be</source>
        <translation>%1 lässt sich nicht exportieren: nur Dateien, Ordner und Bundles lassen sich exportieren</translation>
    </message>
    <message>
        <source>cannot copy %1 into itself</source>
        <translation>%1 lässt sich nicht in sich selbst kopieren</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>VelbrookApp</name>
    <message>
        <source>An export is running. Stop it and quit?</source>
        <translation>Ein Export läuft. Abbrechen und beenden?</translation>
    </message>
    <message>
        <source>Stop and Quit</source>
        <translation>Abbrechen und beenden</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Turns one file or folder into an ISO 9660 disc image.</source>
        <translation>Macht aus einer Datei oder einem Ordner ein Disc-Image im Format ISO 9660.</translation>
    </message>
    <message>
        <source>The file or folder to take as the source, as if dropped on the window.</source>
        <translation>Die Datei oder der Ordner, der als Quelle dient, wie auf das Fenster gezogen.</translation>
    </message>
</context>
</TS>

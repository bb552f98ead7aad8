<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
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
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>Help %1</source>
        <translation>Aide de %1</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>Select Source</source>
        <translation>Choisir la source</translation>
    </message>
    <message>
        <source>Select Source…</source>
        <translation>Choisir la source…</translation>
    </message>
    <message>
        <source>Select Destination</source>
        <translation>Choisir la destination</translation>
    </message>
    <message>
        <source>Select Destination…</source>
        <translation>Choisir la destination…</translation>
    </message>
    <message>
        <source>Create Bootable ISO</source>
        <translation>Créer une ISO amorçable</translation>
    </message>
    <message>
        <source>Cancel Export</source>
        <translation>Annuler l’exportation</translation>
    </message>
</context>
<context>
    <name>ExportChecks</name>
    <message>
        <source>the image name %1 is longer than %2 bytes</source>
        <translation>le nom d’image %1 dépasse %2 octets</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>impossible d’ouvrir %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 n’est pas un dossier</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>impossible d’écrire dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>The whole file system cannot be exported; choose a folder inside it</source>
        <translation>Impossible d’exporter tout le système de fichiers&#xa0;; choisissez un dossier à l’intérieur</translation>
    </message>
    <message>
        <source>cannot follow the link %1: %2</source>
        <translation>impossible de suivre le lien %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>ExportJob</name>
    <message>
        <source>%1 already exists in %2</source>
        <translation>%1 existe déjà dans %2</translation>
    </message>
    <message>
        <source>cannot start the image tool %1: %2</source>
        <translation>impossible de lancer l’outil d’image %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the image tool was stopped by signal %1 (%2)</source>
        <translation>l’outil d’image a été arrêté par le signal %1 (%2)</translation>
    </message>
    <message>
        <source>the image tool failed with exit status %1</source>
        <translation>l’outil d’image a échoué avec le code de sortie %1</translation>
    </message>
    <message>
        <source>cannot replace %1: %2</source>
        <translation>impossible de remplacer %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>FailureText</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 changed while it was being imaged</source>
        <translation>%1 a changé pendant la création de l’image</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>impossible d’écrire dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the image needs %1, but %2 has only %3 free</source>
        <translation>l’image a besoin de %1, mais %2 n’a que %3 de libre</translation>
    </message>
    <message>
        <source>the image needs %1, but %2 holds files of up to %3</source>
        <translation>l’image a besoin de %1, mais %2 n’accepte que des fichiers de %3 au plus</translation>
    </message>
    <message>
        <source>%1 has %2 folders, but an ISO 9660 image holds at most %3</source>
        <translation>%1 contient %2 dossiers, mais une image ISO 9660 en contient au plus %3</translation>
    </message>
</context>
<context>
    <name>FreedesktopDesktop</name>
    <message>
        <source>Show Window</source>
        <translation>Afficher la fenêtre</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
</context>
<context>
    <name>HelpView</name>
    <message>
        <source>Available Commands</source>
        <translation>Commandes disponibles</translation>
    </message>
</context>
<context>
    <name>JobFolder</name>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot name a folder</source>
        <translation>«&#xa0;%1&#xa0;» ne peut pas nommer un dossier</translation>
    </message>
    <message>
        <source>cannot create a folder in %1</source>
        <translation>impossible de créer un dossier dans %1</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>impossible de créer %1</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>No file manager could show %1.</source>
        <translation>Aucun gestionnaire de fichiers n’a pu afficher %1.</translation>
    </message>
    <message>
        <source>It is in %1</source>
        <translation>Il se trouve dans %1</translation>
    </message>
    <message>
        <source>No source selected</source>
        <translation>Aucune source choisie</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Progression de l’exportation</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Afficher dans le dossier</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
    <message>
        <source>No destination selected</source>
        <translation>Aucune destination choisie</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Dossier de destination</translation>
    </message>
    <message>
        <source>Destination folder:</source>
        <translation>Dossier de destination&#xa0;:</translation>
    </message>
    <message>
        <source>Preparing…</source>
        <translation>Préparation…</translation>
    </message>
    <message>
        <source>Copying %1 of %2…</source>
        <translation>Copie de %1 sur %2…</translation>
    </message>
    <message>
        <source>Exported ISO Size: %1 MB</source>
        <translation>Taille de l’ISO exportée&#xa0;: %1&#xa0;Mo</translation>
    </message>
    <message>
        <source>Show %1 in Folder</source>
        <translation>Afficher %1 dans le dossier</translation>
    </message>
    <message>
        <source>Show %1 in its folder</source>
        <translation>Afficher %1 dans son dossier</translation>
    </message>
    <message>
        <source>(1 special file left out)</source>
        <translation>(1 fichier spécial omis)</translation>
    </message>
    <message>
        <source>(%1 special files left out)</source>
        <translation>(%1 fichiers spéciaux omis)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Export of %1 cancelled</source>
        <translation>Exportation de %1 annulée</translation>
    </message>
    <message>
        <source>Export of %1 failed: %2</source>
        <translation>Échec de l’exportation de %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>copying</source>
        <translation>copie en cours</translation>
    </message>
    <message>
        <source>preparing</source>
        <translation>préparation en cours</translation>
    </message>
    <message>
        <source>%1, exporting, %2 %</source>
        <translation>%1, exportation en cours, %2&#xa0;%</translation>
    </message>
    <message>
        <source>Export failed</source>
        <translation>Échec de l’exportation</translation>
    </message>
    <message>
        <source>Image created</source>
        <translation>Image créée</translation>
    </message>
    <message>
        <source>%1, %2 MB</source>
        <translation>%1, %2&#xa0;Mo</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>%1: no such file or folder</source>
        <translation>%1&#xa0;: aucun fichier ou dossier de ce nom</translation>
    </message>
</context>
<context>
    <name>MenuBar</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>New Window</source>
        <translation>Nouvelle fenêtre</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Fermer la fenêtre</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
</context>
<context>
    <name>SourceStaging</name>
    <message>
        <source>%1 MB in %2</source>
        <translation>%1&#xa0;Mo dans %2</translation>
    </message>
    <message>
        <source>staging needs %1 MB outside %2, but the temporary and cache folders are inside it</source>
        <translation>la préparation demande %1&#xa0;Mo hors de %2, mais les dossiers temporaire et de cache sont dedans</translation>
    </message>
    <message>
        <source>staging needs %1 MB, but only %2 are free</source>
        <translation>la préparation demande %1&#xa0;Mo, mais seuls %2 sont libres</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>impossible de créer %1</translation>
    </message>
</context>
<context>
    <name>StagedCopy</name>
    <message>
        <source>cannot open %1</source>
        <translation>impossible d’ouvrir %1</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>impossible de lire %1</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>impossible de créer %1</translation>
    </message>
    <message>
        <source>cannot examine %1</source>
        <translation>impossible d’examiner %1</translation>
    </message>
    <message>
        <source>cannot set the permissions of %1</source>
        <translation>impossible de régler les droits de %1</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>impossible d’écrire %1</translation>
    </message>
    <message>
        <source>the file size limit stops writing %1</source>
        <translation>la limite de taille des fichiers empêche d’écrire %1</translation>
    </message>
    <message>
        <source>cannot set the times of %1</source>
        <translation>impossible de régler les dates de %1</translation>
    </message>
    <message>
        <source>cannot read the link %1</source>
        <translation>impossible de lire le lien %1</translation>
    </message>
    <message>
        <source>cannot follow the link %1</source>
        <translation>impossible de suivre le lien %1</translation>
    </message>
    <message>
        <source>cannot export %1: only files, folders and bundles can be</source>
        <translation>impossible d’exporter %1&#xa0;: seuls les fichiers, dossiers et paquets peuvent l’être</translation>
    </message>
    <message>
        <source>cannot copy %1 into itself</source>
        <translation>impossible de copier %1 dans lui-même</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>VelbrookApp</name>
    <message>
        <source>An export is running. Stop it and quit?</source>
        <translation>Une exportation est en cours. L’arrêter et quitter&#xa0;?</translation>
    </message>
    <message>
        <source>Stop and Quit</source>
        <translation>Arrêter et quitter</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Turns one file or folder into an ISO 9660 disc image.</source>
        <translation>Transforme un fichier ou un dossier en image disque ISO 9660.</translation>
    </message>
    <message>
        <source>The file or folder to take as the source, as if dropped on the window.</source>
        <translation>Le fichier ou le dossier à prendre comme source, comme s’il était déposé sur la fenêtre.</translation>
    </message>
</context>
</TS>

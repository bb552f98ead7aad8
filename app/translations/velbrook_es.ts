<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
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
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>Help %1</source>
        <translation>Ayuda de %1</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>Select Source</source>
        <translation>Seleccionar origen</translation>
    </message>
    <message>
        <source>Select Source…</source>
        <translation>Seleccionar origen…</translation>
    </message>
    <message>
        <source>Select Destination</source>
        <translation>Seleccionar destino</translation>
    </message>
    <message>
        <source>Select Destination…</source>
        <translation>Seleccionar destino…</translation>
    </message>
    <message>
        <source>Create Bootable ISO</source>
        <translation>Crear ISO de arranque</translation>
    </message>
    <message>
        <source>Cancel Export</source>
        <translation>Cancelar exportación</translation>
    </message>
</context>
<context>
    <name>ExportChecks</name>
    <message>
        <source>the image name %1 is longer than %2 bytes</source>
        <translation>el nombre de la imagen %1 ocupa más de %2 bytes</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>no se puede abrir %1: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 no es una carpeta</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>no se puede escribir en %1: %2</translation>
    </message>
    <message>
        <source>The whole file system cannot be exported; choose a folder inside it</source>
        <translation>No se puede exportar todo el sistema de archivos; elija una carpeta dentro de él</translation>
    </message>
    <message>
        <source>cannot follow the link %1: %2</source>
        <translation>no se puede seguir el enlace %1: %2</translation>
    </message>
</context>
<context>
    <name>ExportJob</name>
    <message>
        <source>%1 already exists in %2</source>
        <translation>%1 ya existe en %2</translation>
    </message>
    <message>
        <source>cannot start the image tool %1: %2</source>
        <translation>no se puede iniciar la herramienta de imágenes %1: %2</translation>
    </message>
    <message>
        <source>the image tool was stopped by signal %1 (%2)</source>
        <translation>la herramienta de imágenes se detuvo por la señal %1 (%2)</translation>
    </message>
    <message>
        <source>the image tool failed with exit status %1</source>
        <translation>la herramienta de imágenes falló con el estado de salida %1</translation>
    </message>
    <message>
        <source>cannot replace %1: %2</source>
        <translation>no se puede reemplazar %1: %2</translation>
    </message>
</context>
<context>
    <name>FailureText</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>no se puede leer %1: %2</translation>
    </message>
    <message>
        <source>%1 changed while it was being imaged</source>
        <translation>%1 cambió mientras se creaba la imagen</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>no se puede escribir en %1: %2</translation>
    </message>
    <message>
        <source>the image needs %1, but %2 has only %3 free</source>
        <translation>la imagen necesita %1, pero %2 solo tiene %3 libres</translation>
    </message>
    <message>
        <source>the image needs %1, but %2 holds files of up to %3</source>
        <translation>la imagen necesita %1, pero %2 admite archivos de hasta %3</translation>
    </message>
    <message>
        <source>%1 has %2 folders, but an ISO 9660 image holds at most %3</source>
        <translation>%1 tiene %2 carpetas, pero una imagen ISO 9660 admite como máximo %3</translation>
    </message>
</context>
<context>
    <name>FreedesktopDesktop</name>
    <message>
        <source>Show Window</source>
        <translation>Mostrar ventana</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Mostrar en la carpeta</translation>
    </message>
</context>
<context>
    <name>HelpView</name>
    <message>
        <source>Available Commands</source>
        <translation>Comandos disponibles</translation>
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
        <translation>«%1» no puede ser el nombre de una carpeta</translation>
    </message>
    <message>
        <source>cannot create a folder in %1</source>
        <translation>no se puede crear una carpeta en %1</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>no se puede crear %1</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>No file manager could show %1.</source>
        <translation>Ningún gestor de archivos pudo mostrar %1.</translation>
    </message>
    <message>
        <source>It is in %1</source>
        <translation>Está en %1</translation>
    </message>
    <message>
        <source>No source selected</source>
        <translation>Ningún origen seleccionado</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Origen</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Progreso de la exportación</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Mostrar en la carpeta</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Reemplazar</translation>
    </message>
    <message>
        <source>No destination selected</source>
        <translation>Ningún destino seleccionado</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Carpeta de destino</translation>
    </message>
    <message>
        <source>Destination folder:</source>
        <translation>Carpeta de destino:</translation>
    </message>
    <message>
        <source>Preparing…</source>
        <translation>Preparando…</translation>
    </message>
    <message>
        <source>Copying %1 of %2…</source>
        <translation>Copiando %1 de %2…</translation>
    </message>
    <message>
        <source>Exported ISO Size: %1 MB</source>
        <translation>Tamaño de la ISO exportada: %1 MB</translation>
    </message>
    <message>
        <source>Show %1 in Folder</source>
        <translation>Mostrar %1 en la carpeta</translation>
    </message>
    <message>
        <source>Show %1 in its folder</source>
        <translation>Mostrar %1 en su carpeta</translation>
    </message>
    <message>
        <source>(1 special file left out)</source>
        <translation>(1 archivo especial omitido)</translation>
    </message>
    <message>
        <source>(%1 special files left out)</source>
        <translation>(%1 archivos especiales omitidos)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Export of %1 cancelled</source>
        <translation>Exportación de %1 cancelada</translation>
    </message>
    <message>
        <source>Export of %1 failed: %2</source>
        <translation>La exportación de %1 falló: %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>copying</source>
        <translation>copiando</translation>
    </message>
    <message>
        <source>preparing</source>
        <translation>preparando</translation>
    </message>
    <message>
        <source>%1, exporting, %2 %</source>
        <translation>%1, exportando, %2 %</translation>
    </message>
    <message>
        <source>Export failed</source>
        <translation>La exportación falló</translation>
    </message>
    <message>
        <source>Image created</source>
        <translation>Imagen creada</translation>
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
        <translation>%1: no existe el archivo o la carpeta</translation>
    </message>
</context>
<context>
    <name>MenuBar</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>New Window</source>
        <translation>Nueva ventana</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Cerrar ventana</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
</context>
<context>
    <name>SourceStaging</name>
    <message>
        <source>%1 MB in %2</source>
        <translation>%1 MB en %2</translation>
    </message>
    <message>
        <source>staging needs %1 MB outside %2, but the temporary and cache folders are inside it</source>
        <translation>la preparación necesita %1 MB fuera de %2, pero las carpetas temporal y de caché están dentro</translation>
    </message>
    <message>
        <source>staging needs %1 MB, but only %2 are free</source>
        <translation>la preparación necesita %1 MB, pero solo hay libres %2</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>no se puede crear %1</translation>
    </message>
</context>
<context>
    <name>StagedCopy</name>
    <message>
        <source>cannot open %1</source>
        <translation>no se puede abrir %1</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>no se puede leer %1</translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation>no se puede crear %1</translation>
    </message>
    <message>
        <source>cannot examine %1</source>
        <translation>no se puede examinar %1</translation>
    </message>
    <message>
        <source>cannot set the permissions of %1</source>
        <translation>no se pueden establecer los permisos de %1</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>no se puede escribir %1</translation>
    </message>
    <message>
        <source>the file size limit stops writing %1</source>
        <translation>el límite de tamaño de archivo impide escribir %1</translation>
    </message>
    <message>
        <source>cannot set the times of %1</source>
        <translation>no se pueden establecer las fechas de %1</translation>
    </message>
    <message>
        <source>cannot read the link %1</source>
        <translation>no se puede leer el enlace %1</translation>
    </message>
    <message>
        <source>cannot follow the link %1</source>
        <translation>no se puede seguir el enlace %1</translation>
    </message>
    <message>
        <source>cannot export %1: only files, folders and bundles can be</source>
        <translation>no se puede exportar %1: solo se pueden exportar archivos, carpetas y paquetes</translation>
    </message>
    <message>
        <source>cannot copy %1 into itself</source>
        <translation>no se puede copiar %1 dentro de sí mismo</translation>
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
        <translation>Hay una exportación en curso. ¿Detenerla y salir?</translation>
    </message>
    <message>
        <source>Stop and Quit</source>
        <translation>Detener y salir</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Turns one file or folder into an ISO 9660 disc image.</source>
        <translation>Convierte un archivo o una carpeta en una imagen de disco ISO 9660.</translation>
    </message>
    <message>
        <source>The file or folder to take as the source, as if dropped on the window.</source>
        <translation>El archivo o la carpeta que se toma como origen, como si se soltara en la ventana.</translation>
    </message>
</context>
</TS>

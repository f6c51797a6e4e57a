<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Corvane</name>
    <message>
        <source>Corvane is already running: its window is in front now.</source>
        <translation>Corvane läuft bereits: sein Fenster ist jetzt im Vordergrund.</translation>
    </message>
    <message>
        <source>Corvane is already running.</source>
        <translation>Corvane läuft bereits.</translation>
    </message>
    <message>
        <source>Corvane is already running and busy: open the result set there once it is done.</source>
        <translation>Corvane läuft bereits und ist beschäftigt: Öffnen Sie die Ergebnisdateien dort, sobald es fertig ist.</translation>
    </message>
    <message>
        <source>Open the result set &quot;%1&quot;?
<byte value="xd"/>Its search paths, searched files and duplicate files take the place of those shown now.</source>
        <translation>Die Ergebnisdateien „%1“ öffnen?
<byte value="xd"/>Ihre Suchpfade, durchsuchten Dateien und Duplikate nehmen den Platz der jetzt gezeigten ein.</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Help page</source>
        <translation>Hilfeseite</translation>
    </message>
    <message>
        <source>Tab moves from link to link and Enter follows one; Alt+Left goes back, Esc closes the window.</source>
        <translation>Tab geht von Link zu Link, die Eingabetaste folgt einem; Alt+Links geht zurück, Esc schließt das Fenster.</translation>
    </message>
    <message>
        <source>Corvane Help</source>
        <translation>Corvane-Hilfe</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
</context>
<context>
    <name>SearchOptionsDialog</name>
    <message>
        <source>The minimum size &quot;%1&quot; is not a size. Give a number of bytes, or a whole number followed by K, M, G or T (1K is 1024 bytes).</source>
        <translation>Die Mindestgröße „%1“ ist keine Größe. Geben Sie eine Anzahl Bytes an oder eine ganze Zahl mit K, M, G oder T dahinter (1K sind 1024 Bytes).</translation>
    </message>
    <message>
        <source>The maximum size &quot;%1&quot; is not a size. Give a number of bytes, or a whole number followed by K, M, G or T (1K is 1024 bytes).</source>
        <translation>Die Höchstgröße „%1“ ist keine Größe. Geben Sie eine Anzahl Bytes an oder eine ganze Zahl mit K, M, G oder T dahinter (1K sind 1024 Bytes).</translation>
    </message>
    <message>
        <source>Search Options</source>
        <translation>Suchoptionen</translation>
    </message>
    <message>
        <source>Bytes, or a whole number with K, M, G or T (1K is 1024 bytes); empty for no limit. Files outside the limits are listed but not compared.</source>
        <translation>Bytes oder eine ganze Zahl mit K, M, G oder T (1K sind 1024 Bytes); leer für keine Grenze. Dateien außerhalb der Grenzen werden aufgeführt, aber nicht verglichen.</translation>
    </message>
    <message>
        <source>Patterns of whole paths, separated by &quot;;&quot;: * stands for any run of characters, also across folders, ? for one. Folders that match are not searched, files that match not listed. For example: */.git;*/cache/*;*.tmp</source>
        <translation>Muster ganzer Pfade, getrennt durch „;“: * steht für beliebig viele Zeichen, auch über Ordner hinweg, ? für eines. Passende Ordner werden nicht durchsucht, passende Dateien nicht aufgeführt. Zum Beispiel: */.git;*/cache/*;*.tmp</translation>
    </message>
    <message>
        <source>Minimum size</source>
        <translation>Mindestgröße</translation>
    </message>
    <message>
        <source>Maximum size</source>
        <translation>Höchstgröße</translation>
    </message>
    <message>
        <source>no limit</source>
        <translation>keine Grenze</translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation>Auslassen</translation>
    </message>
    <message>
        <source>Skip &amp;hard links of one another</source>
        <translation>Harte &amp;Links derselben Datei überspringen</translation>
    </message>
    <message>
        <source>A file with several names (hard links) is searched once, by the first name found</source>
        <translation>Eine Datei mit mehreren Namen (harten Links) wird einmal durchsucht, unter dem zuerst gefundenen Namen</translation>
    </message>
    <message>
        <source>Stay on one file &amp;system</source>
        <translation>Im selben Datei&amp;system bleiben</translation>
    </message>
    <message>
        <source>Folders on another file system than their search path (other disks, mounts) are not searched</source>
        <translation>Ordner auf einem anderen Dateisystem als ihr Suchpfad (andere Platten, Einhängepunkte) werden nicht durchsucht</translation>
    </message>
    <message>
        <source>&amp;Minimum size:</source>
        <translation>&amp;Mindestgröße:</translation>
    </message>
    <message>
        <source>Ma&amp;ximum size:</source>
        <translation>&amp;Höchstgröße:</translation>
    </message>
    <message>
        <source>&amp;Leave out:</source>
        <translation>&amp;Auslassen:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>Empty the fields and clear the boxes: no filters</source>
        <translation>Die Felder leeren und die Kästchen löschen: keine Filter</translation>
    </message>
    <message>
        <source>The minimum size is larger than the maximum size: no file could be compared.</source>
        <translation>Die Mindestgröße ist größer als die Höchstgröße: Keine Datei könnte verglichen werden.</translation>
    </message>
    <message>
        <source>The pattern &quot;%1&quot; can never match: patterns are matched against whole paths, so begin it with / or * (for example */%1).</source>
        <translation>Das Muster „%1“ kann nie passen: Muster werden mit ganzen Pfaden verglichen, beginnen Sie es also mit / oder * (zum Beispiel */%1).</translation>
    </message>
</context>
<context>
    <name>frm_about</name>
    <message>
        <source>Support link</source>
        <translation>Support-Link</translation>
    </message>
    <message>
        <source>Opens the support web page in the browser</source>
        <translation>Öffnet die Support-Webseite im Browser</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Corvane</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <source>Version 1.0</source>
        <translation>Version 1.0</translation>
    </message>
    <message>
        <source>Finds files with identical contents. </source>
        <translation>Findet Dateien mit gleichem Inhalt. </translation>
    </message>
    <message>
        <source>Duplicates go to the trash, never straight to oblivion.</source>
        <translation>Duplikate wandern in den Papierkorb, nie ins Nichts.</translation>
    </message>
    <message>
        <source>Support/Contact Details :</source>
        <translation>Support/Kontakt:</translation>
    </message>
    <message>
        <source>website</source>
        <translation>Webseite</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The link &quot;%1&quot; cannot be opened: the desktop has no web browser to open it with.</source>
        <translation>Der Link „%1“ lässt sich nicht öffnen: Auf dem Desktop gibt es keinen Webbrowser dafür.</translation>
    </message>
</context>
<context>
    <name>frm_add</name>
    <message>
        <source>Add Search Path...</source>
        <translation>Suchpfad hinzufügen...</translation>
    </message>
    <message>
        <source>Edit Search Path...</source>
        <translation>Suchpfad bearbeiten...</translation>
    </message>
    <message>
        <source>Cannot Add Search Path Because It Overlaps With Another Added Path
<byte value="xd"/>
<byte value="xd"/>Already Added Path Is...
<byte value="xd"/></source>
        <translation>Der Suchpfad kann nicht hinzugefügt werden, weil er sich mit einem bereits hinzugefügten Pfad überschneidet
<byte value="xd"/>
<byte value="xd"/>Bereits hinzugefügter Pfad:
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Cannot Save Search Path Because It Overlaps With Another Added Path
<byte value="xd"/>
<byte value="xd"/>Already Added Path Is...
<byte value="xd"/></source>
        <translation>Der Suchpfad kann nicht gespeichert werden, weil er sich mit einem bereits hinzugefügten Pfad überschneidet
<byte value="xd"/>
<byte value="xd"/>Bereits hinzugefügter Pfad:
<byte value="xd"/></translation>
    </message>
    <message>
        <source>You must enter a path</source>
        <translation>Sie müssen einen Pfad eingeben</translation>
    </message>
    <message>
        <source>Select a search path.</source>
        <translation>Wählen Sie einen Suchpfad.</translation>
    </message>
    <message>
        <source>The folder to search, with its subfolders</source>
        <translation>Der zu durchsuchende Ordner, samt Unterordnern</translation>
    </message>
    <message>
        <source>The file name patterns to search for, such as *.jpg; several are separated with semicolons</source>
        <translation>Die gesuchten Dateinamenmuster, etwa *.jpg; mehrere werden durch Semikolons getrennt</translation>
    </message>
    <message>
        <source>Choose the folder in a folder dialog</source>
        <translation>Den Ordner in einem Ordnerdialog wählen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Path to Search...</source>
        <translation>Zu durchsuchender Pfad...</translation>
    </message>
    <message>
        <source>File type to search...</source>
        <translation>Gesuchte Dateitypen...</translation>
    </message>
    <message>
        <source>note : Separate multiple file type with &quot;;&quot; (semicolons).</source>
        <translation>Hinweis: Mehrere Dateitypen mit &quot;;&quot; (Semikolon) trennen.</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Auswählen...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Take the folder and its file types</source>
        <translation>Den Ordner mit seinen Dateitypen übernehmen</translation>
    </message>
    <message>
        <source>Close without a change</source>
        <translation>Ohne Änderung schließen</translation>
    </message>
    <message>
        <source>A reference folder: its files are never deleted, and a copy there is the one that stays</source>
        <translation>Ein Referenzordner: Seine Dateien werden nie gelöscht, und eine Kopie dort ist die bleibende</translation>
    </message>
    <message>
        <source>Never delete files here (a reference folder)</source>
        <translation>Hier nie Dateien löschen (Referenzordner)</translation>
    </message>
</context>
<context>
    <name>frm_delete</name>
    <message>
        <source>Checking the files before they are moved ...</source>
        <translation>Die Dateien werden vor dem Verschieben geprüft ...</translation>
    </message>
    <message>
        <source>the last copy of its contents</source>
        <translation>die letzte Kopie ihres Inhalts</translation>
    </message>
    <message>
        <source>changed since it was compared</source>
        <translation>seit dem Vergleich geändert</translation>
    </message>
    <message>
        <source>no longer there</source>
        <translation>nicht mehr vorhanden</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>the copy that stays is gone</source>
        <translation>die bleibende Kopie ist nicht mehr da</translation>
    </message>
    <message>
        <source>the copy that stays changed</source>
        <translation>die bleibende Kopie hat sich geändert</translation>
    </message>
    <message>
        <source>kept: its original changed since the search</source>
        <translation>behalten: ihr Original hat sich seit der Suche geändert</translation>
    </message>
    <message>
        <source>kept: its original is gone</source>
        <translation>behalten: ihr Original ist nicht mehr da</translation>
    </message>
    <message>
        <source>it and the copy that stays are one file, seen through two paths</source>
        <translation>sie und die bleibende Kopie sind eine Datei, über zwei Pfade gesehen</translation>
    </message>
    <message>
        <source>the original is gone: this file is now the only copy</source>
        <translation>das Original ist nicht mehr da: diese Datei ist jetzt die einzige Kopie</translation>
    </message>
    <message>
        <source>in the trash already</source>
        <translation>bereits im Papierkorb</translation>
    </message>
    <message>
        <source>replaced since it was checked</source>
        <translation>seit der Prüfung ersetzt</translation>
    </message>
    <message>
        <source>not a regular file or a symbolic link</source>
        <translation>weder eine reguläre Datei noch ein symbolischer Link</translation>
    </message>
    <message>
        <source>another file has taken its place</source>
        <translation>eine andere Datei hat ihren Platz eingenommen</translation>
    </message>
    <message>
        <source>it is no longer a name of the file it was linked to</source>
        <translation>sie ist kein Name der Datei mehr, mit der sie verknüpft wurde</translation>
    </message>
    <message>
        <source>its bytes are its own again, but not its owner</source>
        <translation>sie hat wieder eigene Bytes, doch ihr Besitzer ließ sich nicht zurücksetzen</translation>
    </message>
    <message>
        <source>its bytes were always its own: it only shares blocks with a copy of them</source>
        <translation>ihre Bytes waren stets ihre eigenen: sie teilt nur Blöcke mit einer Kopie davon</translation>
    </message>
    <message>
        <source>it is no longer in the trash</source>
        <translation>sie ist nicht mehr im Papierkorb</translation>
    </message>
    <message>
        <source>the file of that name in the trash is another one</source>
        <translation>die Datei dieses Namens im Papierkorb ist eine andere</translation>
    </message>
    <message>
        <source>another file is at its place</source>
        <translation>an ihrem Platz liegt eine andere Datei</translation>
    </message>
    <message>
        <source>Files not moved</source>
        <translation>Nicht verschobene Dateien</translation>
    </message>
    <message>
        <source>The files that stay where they are, each with the reason</source>
        <translation>Die Dateien, die bleiben, wo sie sind, jeweils mit dem Grund</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>How many of the files have been handled</source>
        <translation>Wie viele der Dateien bearbeitet sind</translation>
    </message>
    <message>
        <source>Close the dialog once every file has been handled</source>
        <translation>Den Dialog schließen, sobald jede Datei bearbeitet ist</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>deleted %1 of %2</source>
        <translation>%1 von %2 gelöscht</translation>
    </message>
    <message>
        <source>Failed to delete the following files...</source>
        <translation>Folgende Dateien konnten nicht gelöscht werden...</translation>
    </message>
    <message>
        <source>Delete Complete</source>
        <translation>Löschen abgeschlossen</translation>
    </message>
    <message>
        <source>Deleted 0 of 0</source>
        <translation>0 von 0 gelöscht</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Undo will not be able to put these files back: %1.

They can still be restored from the trash.</source>
        <translation>Rückgängig wird diese Dateien nicht zurückholen können: %1.

Sie lassen sich weiterhin aus dem Papierkorb wiederherstellen.</translation>
    </message>
    <message>
        <source>Hard Links Complete</source>
        <translation>Harte Links abgeschlossen</translation>
    </message>
    <message>
        <source>Sharing Blocks Complete</source>
        <translation>Blockteilung abgeschlossen</translation>
    </message>
    <message>
        <source>linked %1 of %2</source>
        <translation>%1 von %2 verknüpft</translation>
    </message>
    <message>
        <source>shared %1 of %2</source>
        <translation>%1 von %2 geteilt</translation>
    </message>
    <message>
        <source>Failed to replace the following files with hard links...</source>
        <translation>Folgende Dateien konnten nicht durch harte Links ersetzt werden...</translation>
    </message>
    <message>
        <source>Failed to share the blocks of the following files...</source>
        <translation>Die Blöcke folgender Dateien konnten nicht geteilt werden...</translation>
    </message>
    <message>
        <source>the same file as %1, reached by another path</source>
        <translation>dieselbe Datei wie %1, über einen anderen Pfad erreicht</translation>
    </message>
    <message>
        <source>no copy stays for it</source>
        <translation>für sie bleibt keine Kopie</translation>
    </message>
    <message>
        <source>an empty file: nothing to reclaim</source>
        <translation>eine leere Datei: nichts zu gewinnen</translation>
    </message>
    <message>
        <source>its folder cannot be opened: %3</source>
        <translation>ihr Ordner lässt sich nicht öffnen: %3</translation>
    </message>
    <message>
        <source>replaced or changed since it was checked</source>
        <translation>seit der Prüfung ersetzt oder geändert</translation>
    </message>
    <message>
        <source>the copy that stays is gone or was replaced</source>
        <translation>die bleibende Kopie ist nicht mehr da oder wurde ersetzt</translation>
    </message>
    <message>
        <source>the copy that stays was replaced</source>
        <translation>die bleibende Kopie wurde ersetzt</translation>
    </message>
    <message>
        <source>already a link to %1</source>
        <translation>bereits ein Link auf %1</translation>
    </message>
    <message>
        <source>on another file system than %1</source>
        <translation>auf einem anderen Dateisystem als %1</translation>
    </message>
    <message>
        <source>on another mount than %1</source>
        <translation>in einem anderen Einhängepunkt als %1</translation>
    </message>
    <message>
        <source>cannot link it to %1: %3</source>
        <translation>lässt sich nicht mit %1 verknüpfen: %3</translation>
    </message>
    <message>
        <source>the file system cannot exchange two names in one step, which replacing a file without a moment where its name is empty needs</source>
        <translation>das Dateisystem kann zwei Namen nicht in einem Schritt tauschen, was das Ersetzen einer Datei ohne einen Moment mit leerem Namen braucht</translation>
    </message>
    <message>
        <source>cannot put the link in its place: %3</source>
        <translation>der Link lässt sich nicht an ihren Platz setzen: %3</translation>
    </message>
    <message>
        <source>it and the copy that stays look like one file seen through two paths, and it cannot be put back: it is now %1: %3</source>
        <translation>sie und die bleibende Kopie scheinen eine Datei zu sein, über zwei Pfade gesehen, und sie lässt sich nicht zurücklegen: sie ist jetzt %1: %3</translation>
    </message>
    <message>
        <source>replaced since it was checked, and what took its place is now %1, since it cannot be put back: %3</source>
        <translation>seit der Prüfung ersetzt, und was ihren Platz einnahm, ist jetzt %1, da es sich nicht zurücklegen lässt: %3</translation>
    </message>
    <message>
        <source>linked, but the file it replaced stays as %1: %3</source>
        <translation>verknüpft, doch die ersetzte Datei bleibt als %1: %3</translation>
    </message>
    <message>
        <source>it cannot be read: %3</source>
        <translation>sie lässt sich nicht lesen: %3</translation>
    </message>
    <message>
        <source>no copy of its bytes can be made beside it: %3</source>
        <translation>neben ihr lässt sich keine Kopie ihrer Bytes anlegen: %3</translation>
    </message>
    <message>
        <source>the copy cannot be put in its place: %3</source>
        <translation>die Kopie lässt sich nicht an ihren Platz setzen: %3</translation>
    </message>
    <message>
        <source>it is no longer a name of the file it was linked to, and what took its place is now %1, since it cannot be put back: %3</source>
        <translation>sie ist kein Name der Datei mehr, mit der sie verknüpft wurde, und was ihren Platz einnahm, ist jetzt %1, da es sich nicht zurücklegen lässt: %3</translation>
    </message>
    <message>
        <source>its bytes are its own again, but one more name of the file it was linked to stays as %1: %3</source>
        <translation>sie hat wieder eigene Bytes, doch ein weiterer Name der Datei, mit der sie verknüpft war, bleibt als %1: %3</translation>
    </message>
    <message>
        <source>the file system does not share blocks between files (%3)</source>
        <translation>das Dateisystem teilt keine Blöcke zwischen Dateien (%3)</translation>
    </message>
    <message>
        <source>on another mount than the copy that stays</source>
        <translation>in einem anderen Einhängepunkt als die bleibende Kopie</translation>
    </message>
    <message>
        <source>cannot share its blocks: %3</source>
        <translation>ihre Blöcke lassen sich nicht teilen: %3</translation>
    </message>
    <message>
        <source>cannot be opened: %3</source>
        <translation>lässt sich nicht öffnen: %3</translation>
    </message>
    <message>
        <source>the copy that stays: no longer there</source>
        <translation>die bleibende Kopie: nicht mehr vorhanden</translation>
    </message>
    <message>
        <source>the copy that stays: not a regular file</source>
        <translation>die bleibende Kopie: keine reguläre Datei</translation>
    </message>
    <message>
        <source>the copy that stays: replaced since it was checked</source>
        <translation>die bleibende Kopie: seit der Prüfung ersetzt</translation>
    </message>
    <message>
        <source>the copy that stays: cannot be opened: %3</source>
        <translation>die bleibende Kopie: lässt sich nicht öffnen: %3</translation>
    </message>
    <message>
        <source>already the same file as %1</source>
        <translation>bereits dieselbe Datei wie %1</translation>
    </message>
    <message>
        <source>its size differs from that of %1</source>
        <translation>ihre Größe weicht von der von %1 ab</translation>
    </message>
    <message>
        <source>its blocks are already shared with %1</source>
        <translation>ihre Blöcke sind bereits mit %1 geteilt</translation>
    </message>
    <message>
        <source>the kernel found bytes that differ from %1 after %2 bytes</source>
        <translation>der Kernel fand nach %2 Bytes Bytes, die von %1 abweichen</translation>
    </message>
    <message>
        <source>no file has a name with a zero byte</source>
        <translation>keine Datei hat einen Namen mit einem Null-Byte</translation>
    </message>
    <message>
        <source>it cannot be looked at: %3</source>
        <translation>sie lässt sich nicht ansehen: %3</translation>
    </message>
    <message>
        <source>its folder cannot be resolved: it moved while it was looked at</source>
        <translation>ihr Ordner lässt sich nicht auflösen: er wurde verschoben, während er angesehen wurde</translation>
    </message>
    <message>
        <source>it lies on another file system than the trash %1: %3</source>
        <translation>sie liegt auf einem anderen Dateisystem als der Papierkorb %1: %3</translation>
    </message>
    <message>
        <source>it cannot be moved into the trash %1: %3</source>
        <translation>sie lässt sich nicht in den Papierkorb %1 verschieben: %3</translation>
    </message>
    <message>
        <source>the local time for the deletion date is not known</source>
        <translation>die Ortszeit für das Löschdatum ist nicht bekannt</translation>
    </message>
    <message>
        <source>the trash info cannot be written: %1: %3</source>
        <translation>die Papierkorb-Info lässt sich nicht schreiben: %1: %3</translation>
    </message>
    <message>
        <source>put back where it was</source>
        <translation>an ihren Platz zurückgelegt</translation>
    </message>
    <message>
        <source>it cannot be put back where it was, and stays in the trash as %1, from where its info file restores it</source>
        <translation>sie lässt sich nicht an ihren Platz zurücklegen und bleibt im Papierkorb als %1, von wo ihre Info-Datei sie wiederherstellt</translation>
    </message>
    <message>
        <source>another file took its place just before the move; that file was put back</source>
        <translation>eine andere Datei nahm kurz vor dem Verschieben ihren Platz ein; diese Datei wurde zurückgelegt</translation>
    </message>
    <message>
        <source>another file took its place just before the move and went to the trash as %1, from where its info file restores it</source>
        <translation>eine andere Datei nahm kurz vor dem Verschieben ihren Platz ein und kam in den Papierkorb als %1, von wo ihre Info-Datei sie wiederherstellt</translation>
    </message>
    <message>
        <source>the trash holds too many files of this name</source>
        <translation>der Papierkorb enthält zu viele Dateien dieses Namens</translation>
    </message>
    <message>
        <source>replaced since it was checked; another file took its place just before the move and went to the trash as %1, from where its info file restores it</source>
        <translation>seit der Prüfung ersetzt; eine andere Datei nahm kurz vor dem Verschieben ihren Platz ein und kam in den Papierkorb als %1, von wo ihre Info-Datei sie wiederherstellt</translation>
    </message>
    <message>
        <source>it and the copy that stays are one file, seen through two paths; it cannot be put back where it was, and stays in the trash as %1, from where its info file restores it</source>
        <translation>sie und die bleibende Kopie sind eine Datei, über zwei Pfade gesehen; sie lässt sich nicht an ihren Platz zurücklegen und bleibt im Papierkorb als %1, von wo ihre Info-Datei sie wiederherstellt</translation>
    </message>
    <message>
        <source>the copy that stays was written to while it was linked; the file was put back</source>
        <translation>die bleibende Kopie wurde beim Verknüpfen beschrieben; die Datei wurde zurückgelegt</translation>
    </message>
    <message>
        <source>the copy that stays was written to while it was linked, and the file cannot be put back: it is now %1: %3</source>
        <translation>die bleibende Kopie wurde beim Verknüpfen beschrieben, und die Datei lässt sich nicht zurücklegen: sie ist jetzt %1: %3</translation>
    </message>
    <message>
        <source>written to while it was moved to the trash; put back where it was</source>
        <translation>beim Verschieben in den Papierkorb beschrieben; an ihren Platz zurückgelegt</translation>
    </message>
    <message>
        <source>written to while it was moved to the trash; it cannot be put back where it was, and stays in the trash as %1, from where its info file restores it</source>
        <translation>beim Verschieben in den Papierkorb beschrieben; sie lässt sich nicht an ihren Platz zurücklegen und bleibt im Papierkorb als %1, von wo ihre Info-Datei sie wiederherstellt</translation>
    </message>
    <message>
        <source>the trash folder cannot be made: %1: %3</source>
        <translation>der Papierkorb-Ordner lässt sich nicht anlegen: %1: %3</translation>
    </message>
    <message>
        <source>the trash folder %1 belongs to another user</source>
        <translation>der Papierkorb-Ordner %1 gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>the trash folder cannot be opened: %1: %3</source>
        <translation>der Papierkorb-Ordner lässt sich nicht öffnen: %1: %3</translation>
    </message>
    <message>
        <source>its folder cannot be looked at: %3</source>
        <translation>ihr Ordner lässt sich nicht ansehen: %3</translation>
    </message>
    <message>
        <source>its folder %1 cannot be opened (%3)</source>
        <translation>ihr Ordner %1 lässt sich nicht öffnen (%3)</translation>
    </message>
    <message>
        <source>it cannot be moved back (%3)</source>
        <translation>sie lässt sich nicht zurückverschieben (%3)</translation>
    </message>
    <message>
        <source>the trash&apos;s record of it cannot be read: %1: %3</source>
        <translation>der Eintrag des Papierkorbs zu ihr lässt sich nicht lesen: %1: %3</translation>
    </message>
    <message>
        <source>the trash&apos;s record of it cannot be read: %1: too large for a trash info file</source>
        <translation>der Eintrag des Papierkorbs zu ihr lässt sich nicht lesen: %1: zu groß für eine Papierkorb-Info-Datei</translation>
    </message>
    <message>
        <source>the trash&apos;s record of it cannot be read: %1: not a trash info file</source>
        <translation>der Eintrag des Papierkorbs zu ihr lässt sich nicht lesen: %1: keine Papierkorb-Info-Datei</translation>
    </message>
    <message>
        <source>the trash&apos;s record of it cannot be read: %1: a relative path in a trash that is not at the top of a mount</source>
        <translation>der Eintrag des Papierkorbs zu ihr lässt sich nicht lesen: %1: ein relativer Pfad in einem Papierkorb, der nicht oben in einem Einhängepunkt liegt</translation>
    </message>
</context>
<context>
    <name>frm_utama</name>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft...</translation>
    </message>
    <message>
        <source>Found %1 files in %2 folder</source>
        <translation>%1 Dateien in %2 Ordnern gefunden</translation>
    </message>
    <message>
        <source>Sorting Files [%1%]</source>
        <translation>Dateien werden sortiert [%1%]</translation>
    </message>
    <message>
        <source>Comparing file %1 of %2, Duplicate files found: %3 [%4%]</source>
        <translation>Vergleiche Datei %1 von %2, gefundene Duplikate: %3 [%4%]</translation>
    </message>
    <message>
        <source>Duplicate files: %1, File Searched: %2</source>
        <translation>Duplikate: %1, durchsuchte Dateien: %2</translation>
    </message>
    <message>
        <source> (trash folders passed over: %1)</source>
        <translation> (übergangene Papierkorb-Ordner: %1)</translation>
    </message>
    <message>
        <source>Add a folder to search, with the file types to look for</source>
        <translation>Einen zu durchsuchenden Ordner mit den gesuchten Dateitypen hinzufügen</translation>
    </message>
    <message>
        <source>Change the selected search path</source>
        <translation>Den gewählten Suchpfad ändern</translation>
    </message>
    <message>
        <source>Remove the selected search path from the list</source>
        <translation>Den gewählten Suchpfad aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Search the listed folders for duplicate files, or stop the search (F5)</source>
        <translation>Die aufgeführten Ordner nach doppelten Dateien durchsuchen oder die Suche anhalten (F5)</translation>
    </message>
    <message>
        <source>Search paths</source>
        <translation>Suchpfade</translation>
    </message>
    <message>
        <source>The folders to search, each with its file types</source>
        <translation>Die zu durchsuchenden Ordner, jeweils mit ihren Dateitypen</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
    <message>
        <source>The duplicate files found, and every file searched</source>
        <translation>Die gefundenen Duplikate und alle durchsuchten Dateien</translation>
    </message>
    <message>
        <source>Move every duplicate file to the trash; the original files stay</source>
        <translation>Alle Duplikate in den Papierkorb verschieben; die Originale bleiben</translation>
    </message>
    <message>
        <source>Move every ticked file to the trash, original files included</source>
        <translation>Alle markierten Dateien in den Papierkorb verschieben, Originale eingeschlossen</translation>
    </message>
    <message>
        <source>Duplicate files</source>
        <translation>Doppelte Dateien</translation>
    </message>
    <message>
        <source>Searched files</source>
        <translation>Durchsuchte Dateien</translation>
    </message>
    <message>
        <source>Every file the search found, with its size and creation date</source>
        <translation>Jede von der Suche gefundene Datei mit Größe und Erstellungsdatum</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Start Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Stop Search</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Stoping ...</source>
        <translation>Halte an ...</translation>
    </message>
    <message>
        <source>

%1 file(s) will be moved to the trash.</source>
        <translation>

%1 Datei(en) werden in den Papierkorb verschoben.</translation>
    </message>
    <message>
        <source>%1 of the files are the last copies of their contents: no copy of those stays outside the trash.

</source>
        <translation>%1 der Dateien sind die letzten Kopien ihres Inhalts: Außerhalb des Papierkorbs bleibt keine Kopie davon.

</translation>
    </message>
    <message>
        <source>
%1 duplicate(s) will stay in place of an original that changed or is gone.</source>
        <translation>
%1 Duplikat(e) bleiben anstelle eines Originals, das sich geändert hat oder fehlt.</translation>
    </message>
    <message>
        <source>
%1 file(s) will stay: they changed or are gone since the search.</source>
        <translation>
%1 Datei(en) bleiben: Sie haben sich seit der Suche geändert oder fehlen.</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all Duplicate files ?</source>
        <translation>Wollen Sie wirklich alle Duplikate löschen?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all checkmarked files ?
<byte value="xd"/>If you have checkmarked any original files they also be deleted!</source>
        <translation>Wollen Sie wirklich alle markierten Dateien löschen?
<byte value="xd"/>Wenn Sie Originaldateien markiert haben, werden auch diese gelöscht!</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Original file</source>
        <translation>Originaldatei</translation>
    </message>
    <message>
        <source>Duplicate file</source>
        <translation>Duplikat</translation>
    </message>
    <message>
        <source>Select a Search Path to Edit.</source>
        <translation>Wählen Sie einen Suchpfad zum Bearbeiten.</translation>
    </message>
    <message>
        <source>Select a Search Path to Delete.</source>
        <translation>Wählen Sie einen Suchpfad zum Entfernen.</translation>
    </message>
    <message>
        <source>Corvane</source>
        <translation>Corvane</translation>
    </message>
    <message>
        <source>Add Path</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Edit Path</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Delete Path</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>File Type</source>
        <translation>Dateityp</translation>
    </message>
    <message>
        <source>Duplicat Files</source>
        <translation>Duplikate</translation>
    </message>
    <message>
        <source>Delete All Duplicates</source>
        <translation>Duplikate löschen</translation>
    </message>
    <message>
        <source>Delete All Checked Files</source>
        <translation>Markierte löschen</translation>
    </message>
    <message>
        <source>File Information</source>
        <translation>Dateiinformationen</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Ort:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Created:</source>
        <translation>Erstellt:</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner zeigen</translation>
    </message>
    <message>
        <source>Searched Files</source>
        <translation>Durchsuchte Dateien</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Created Date</source>
        <translation>Erstellt am</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Corvane Files (*.CVN)|*.CVN</source>
        <translation>Corvane-Dateien (*.CVN)|*.CVN</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; cannot be opened: it is not there any more.</source>
        <translation>Die Datei „%1“ lässt sich nicht öffnen: Sie ist nicht mehr vorhanden.</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; cannot be opened: the desktop has no program to open it with.</source>
        <translation>Die Datei „%1“ lässt sich nicht öffnen: Auf dem Desktop gibt es kein Programm dafür.</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; cannot be shown: the desktop has no file manager to show it in.</source>
        <translation>Der Ordner von „%1“ lässt sich nicht zeigen: Auf dem Desktop gibt es keine Dateiverwaltung dafür.</translation>
    </message>
    <message>
        <source>The help page &quot;%1&quot; is missing.</source>
        <translation>Die Hilfeseite „%1“ fehlt.</translation>
    </message>
    <message>
        <source>Loading Files, Please Wait ...</source>
        <translation>Dateien werden geladen, bitte warten ...</translation>
    </message>
    <message>
        <source>Comparing %1 files of %2: %3 of %4 read [%5%]</source>
        <translation>Vergleiche %1 Dateien zu je %2: %3 von %4 gelesen [%5%]</translation>
    </message>
    <message>
        <source>Reading the first bytes of file %1 of %2 [%3%]</source>
        <translation>Lese die ersten Bytes von Datei %1 von %2 [%3%]</translation>
    </message>
    <message>
        <source>Each original file with its duplicates below it. Space or a click on the box ticks or unticks the current file; Delete asks to delete the ticked files.</source>
        <translation>Jede Originaldatei mit ihren Duplikaten darunter. Die Leertaste oder ein Klick auf das Kästchen markiert die aktuelle Datei oder hebt die Markierung auf; Entf fragt, ob die markierten Dateien gelöscht werden sollen.</translation>
    </message>
    <message>
        <source>Whether the current file is an original or a duplicate</source>
        <translation>Ob die aktuelle Datei ein Original oder ein Duplikat ist</translation>
    </message>
    <message>
        <source>The full path of the current file</source>
        <translation>Der vollständige Pfad der aktuellen Datei</translation>
    </message>
    <message>
        <source>The size of the current file</source>
        <translation>Die Größe der aktuellen Datei</translation>
    </message>
    <message>
        <source>The day the current file was created</source>
        <translation>Der Tag, an dem die aktuelle Datei erstellt wurde</translation>
    </message>
    <message>
        <source>Open the current file with its program</source>
        <translation>Die aktuelle Datei mit ihrem Programm öffnen</translation>
    </message>
    <message>
        <source>Show the current file in the file manager</source>
        <translation>Die aktuelle Datei in der Dateiverwaltung zeigen</translation>
    </message>
    <message>
        <source>Put back what the last run changed?</source>
        <translation>Zurückholen, was der letzte Lauf verändert hat?</translation>
    </message>
    <message>
        <source>

%1 file(s) will go back from the trash to their folders.</source>
        <translation>

%1 Datei(en) kommen aus dem Papierkorb in ihre Ordner zurück.</translation>
    </message>
    <message>
        <source>

%1 linked file(s) will get their own bytes again.</source>
        <translation>

%1 verknüpfte Datei(en) erhalten wieder eigene Bytes.</translation>
    </message>
    <message>
        <source>Putting the files back ...</source>
        <translation>Die Dateien werden zurückgeholt ...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 file(s) put back. Search again to see them among the duplicates.</source>
        <translation>%1 Datei(en) zurückgeholt. Suchen Sie erneut, um sie unter den Duplikaten zu sehen.</translation>
    </message>
    <message>
        <source>%1 file(s) were put back; %2 could not be:
</source>
        <translation>%1 Datei(en) wurden zurückgeholt, %2 nicht:
</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... und %1 weitere</translation>
    </message>
    <message>
        <source>

%1 file(s) will be replaced with hard links to the copies that stay.</source>
        <translation>

%1 Datei(en) werden durch harte Links auf die bleibenden Kopien ersetzt.</translation>
    </message>
    <message>
        <source>

%1 file(s) will share their blocks with the copies that stay.</source>
        <translation>

%1 Datei(en) teilen ihre Blöcke mit den bleibenden Kopien.</translation>
    </message>
    <message>
        <source>
%1 file(s) will stay as they are: every copy of their contents is ticked, so no copy stays to join them to.</source>
        <translation>
%1 Datei(en) bleiben, wie sie sind: Jede Kopie ihres Inhalts ist markiert, also bleibt keine, mit der sie verbunden werden könnten.</translation>
    </message>
    <message>
        <source>Are you sure you want to replace all checkmarked files with hard links to the copies that stay ?</source>
        <translation>Wollen Sie wirklich alle markierten Dateien durch harte Links auf die bleibenden Kopien ersetzen?</translation>
    </message>
    <message>
        <source>Are you sure you want the file system to share the blocks of all checkmarked files with the copies that stay ?</source>
        <translation>Soll das Dateisystem die Blöcke aller markierten Dateien wirklich mit den bleibenden Kopien teilen?</translation>
    </message>
    <message>
        <source>

%1 file(s) that share blocks need nothing: their bytes always were their own.</source>
        <translation>

%1 Datei(en), die Blöcke teilen, brauchen nichts: Ihre Bytes waren stets ihre eigenen.</translation>
    </message>
    <message>
        <source>Replace every ticked file with a hard link to the copy that stays</source>
        <translation>Jede markierte Datei durch einen harten Link auf die bleibende Kopie ersetzen</translation>
    </message>
    <message>
        <source>Have the file system keep one copy of the blocks of every ticked file and the copy that stays</source>
        <translation>Das Dateisystem eine Kopie der Blöcke jeder markierten Datei und der bleibenden Kopie behalten lassen</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswahl</translation>
    </message>
    <message>
        <source>Tick duplicates, keeping …</source>
        <translation>Duplikate markieren, es bleibt …</translation>
    </message>
    <message>
        <source>the original</source>
        <translation>das Original</translation>
    </message>
    <message>
        <source>the oldest</source>
        <translation>die älteste Datei</translation>
    </message>
    <message>
        <source>the newest</source>
        <translation>die neueste Datei</translation>
    </message>
    <message>
        <source>the one in the first search path</source>
        <translation>die Datei im ersten Suchpfad</translation>
    </message>
    <message>
        <source>the shortest path</source>
        <translation>die Datei mit dem kürzesten Pfad</translation>
    </message>
    <message>
        <source>the longest path</source>
        <translation>die Datei mit dem längsten Pfad</translation>
    </message>
    <message>
        <source>Untick all</source>
        <translation>Alle Markierungen aufheben</translation>
    </message>
    <message>
        <source>Invert ticks in this group</source>
        <translation>Markierungen dieser Gruppe umkehren</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Exportieren…</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Put back what the last run changed</source>
        <translation>Zurückholen, was der letzte Lauf verändert hat</translation>
    </message>
    <message>
        <source>Replace Checked with Hard Links</source>
        <translation>Markierte durch harte Links ersetzen</translation>
    </message>
    <message>
        <source>Share Checked Blocks</source>
        <translation>Blöcke der Markierten teilen</translation>
    </message>
    <message>
        <source>In a reference folder: never deleted, and the copy that stays</source>
        <translation>In einem Referenzordner: nie gelöscht, und die bleibende Kopie</translation>
    </message>
    <message>
        <source>A reference folder: its files are never deleted</source>
        <translation>Ein Referenzordner: Seine Dateien werden nie gelöscht</translation>
    </message>
    <message>
        <source>%1 file(s) outside the size limits not compared</source>
        <translation>%1 Datei(en) außerhalb der Größengrenzen nicht verglichen</translation>
    </message>
    <message>
        <source>%1 further name(s) of files passed over</source>
        <translation>%1 weitere(r) Name(n) von Dateien übergangen</translation>
    </message>
    <message>
        <source> (search options in effect)</source>
        <translation> (Suchoptionen aktiv)</translation>
    </message>
    <message>
        <source> (search options in effect: %1)</source>
        <translation> (Suchoptionen aktiv: %1)</translation>
    </message>
    <message>
        <source>Sea&amp;rch</source>
        <translation>Su&amp;che</translation>
    </message>
    <message>
        <source>Search &amp;Options...</source>
        <translation>Such&amp;optionen...</translation>
    </message>
    <message>
        <source>Size limits, folders to leave out, hard links and file systems for the next searches</source>
        <translation>Größengrenzen, auszulassende Ordner, harte Links und Dateisysteme für die nächsten Suchen</translation>
    </message>
    <message>
        <source>%1 file(s) put back.</source>
        <translation>%1 Datei(en) zurückgeholt.</translation>
    </message>
</context>
</TS>

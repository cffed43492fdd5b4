#pragma once

#include <cstdint>
#include <string>

// Every German text the program shows in a message or an error, in code page 1252. Texts with
// "%s" or "%d" take one argument (FormatMessageText).
namespace startgarten::messages {

// The question before the write command.
inline constexpr const char* kConfirmRewrite = "Wollen Sie die Start-Datei umschreiben?";

// The box shown when c:\msdos.sys names no host boot drive: its text and its title.
inline constexpr const char* kHostDriveNotFoundText = "Fehler";
inline constexpr const char* kHostDriveNotFoundTitle = "HOST-Laufwerk nicht gefunden";

// Files, streams and the line buffer.
inline constexpr const char* kCannotOpenFile =
    "Kann Datei %s nicht \xF6"
    "ffnen";
inline constexpr const char* kCannotCreateFile = "Kann Datei %s nicht erstellen";
inline constexpr const char* kStreamReadError = "Stream-Read-Fehler ";
inline constexpr const char* kStreamWriteError = "Stream-Write-Fehler ";
inline constexpr const char* kTextExceedsCapacity =
    "Text \xFC"
    "berschreitet Memo-Kapazit\xE4t";

// Writing all or nothing. The record's texts take its path, a completion that stopped the files
// that are new now before it; the take-back's the files that are new, then those that are old
// (kNoFiles when there are none).
inline constexpr const char* kWriteRecordForeign =
    "Auf Laufwerk C: liegt die Datei %s, doch sie ist kein Schreibprotokoll, das Startgarten "
    "lesen kann. Startgarten l\xE4sst sie unber\xFChrt und schreibt nichts, solange sie dort "
    "liegt";
inline constexpr const char* kWriteRecordUnfinished =
    "Ein unterbrochener Schreibvorgang l\xE4sst sich nicht abschlie\xDF"
    "en: Sein Protokoll %s nennt eine Datei, die weder neu ist noch ihre neue Fassung neben sich "
    "hat oder sich nicht ersetzen l\xE4sst. Startgarten l\xE4sst alles unber\xFChrt und schreibt "
    "nichts, solange das Protokoll dort liegt";
inline constexpr const char* kWriteRecordStopped =
    "Ein unterbrochener Schreibvorgang lie\xDF sich nur zum Teil abschlie\xDF"
    "en. Neu sind jetzt: %s. Sein Protokoll %s bleibt liegen, und Startgarten schreibt nichts, "
    "bis es den Schreibvorgang bei einem Start abschlie\xDF"
    "en kann";
inline constexpr const char* kWriteTakeBackFailed =
    "Die Dateien lie\xDF"
    "en sich weder ganz schreiben noch zur\xFC"
    "cksetzen. Neu sind jetzt: %s; alt sind: %s. Beim n\xE4"
    "chsten Start schlie\xDFt Startgarten das Schreiben ab";
inline constexpr const char* kNoFiles = "keine";

// The lock of a drive's writer. The texts take the drive (its folder or image file), then the
// holder (kLockHolder with the program and its process id, or kLockHolderUnseen) or the reason
// (a system error text).
inline constexpr const char* kDriveLocked =
    "Das Laufwerk %s ist gesperrt: %s schreibt gerade darauf oder h\xE4lt es fest. Startgarten "
    "hat einige Sekunden gewartet und nichts geschrieben";
inline constexpr const char* kLockHolder = "%s (PID %s)";
inline constexpr const char* kLockHolderUnseen = "ein anderer Benutzer";
inline constexpr const char* kDriveCannotLock =
    "Das Laufwerk %s l\xE4sst sich nicht zum Schreiben sperren: %s. Geschrieben wurde nichts";

// A letter beside drive C that leads to the host's root folder or to a folder that holds drive C:
// takes the letter, then the folder.
inline constexpr const char* kDriveHoldsDriveC =
    "Laufwerk %s: f\xFChrt in den Ordner %s, der Laufwerk C: enth\xE4lt. Das ist kein Laufwerk "
    "eines Windows 95; Startgarten liest und schreibt dort nichts";

// Profile keys and numbers.
inline constexpr const char* kCannotWriteTo = "Kann nicht nach %s schreiben";
inline constexpr const char* kNotAValidInteger = "'%s' ist kein g\xFCltiger Integerwert";

// The picture loader.
inline constexpr const char* kInvalidBitmap = "Bitmap ist ung\xFCltig";

// Disk image files as drives: what was found instead of a FAT volume. Texts with two "%s" take the
// image file's name first.
inline constexpr const char* kImageEmpty = "Die Abbilddatei %s ist leer";
inline constexpr const char* kImageTooShort = "Die Abbilddatei %s ist zu kurz f\xFCr ein Laufwerk";
inline constexpr const char* kImageUnsupportedFormat =
    "Die Abbilddatei %s ist ein %s, das sich nicht bearbeiten l\xE4sst";
inline constexpr const char* kImageFormatQcow2 = "QCOW2-Abbild (QEMU)";
inline constexpr const char* kImageFormatQcow = "QCOW-Abbild (\xE4lteres QEMU)";
inline constexpr const char* kImageFormatQed = "QED-Abbild (QEMU)";
inline constexpr const char* kImageFormatParallels = "Parallels-Abbild";
inline constexpr const char* kImageFormatVdi = "VDI-Abbild (VirtualBox)";
inline constexpr const char* kImageFormatVmdk = "VMDK-Abbild (VMware)";
inline constexpr const char* kImageFormatVhdx = "VHDX-Abbild (Hyper-V)";
inline constexpr const char* kImageFormatDynamicVhd = "dynamisches VHD-Abbild";
inline constexpr const char* kImageFormatDifferencingVhd = "differenzierendes VHD-Abbild";
inline constexpr const char* kImageVhdFooterDamaged =
    "Die VHD-Fu\xDFzeile der Abbilddatei %s ist besch\xE4"
    "digt";
inline constexpr const char* kImageVhdTruncated =
    "Das VHD-Abbild %s ist k\xFCrzer, als seine Fu\xDFzeile angibt";
inline constexpr const char* kImageNoFatVolume =
    "Die Abbilddatei %s enth\xE4lt weder ein FAT-Laufwerk noch eine Partitionstabelle";
inline constexpr const char* kImageForeignFileSystem =
    "Die Abbilddatei %s enth\xE4lt ein Laufwerk im Format %s, kein FAT-Laufwerk";
inline constexpr const char* kImageEmptyPartitionTable =
    "Die Partitionstabelle der Abbilddatei %s ist leer";
inline constexpr const char* kImageNoFatPartition =
    "Die Partitionstabelle der Abbilddatei %s enth\xE4lt keine FAT-Partition "
    "(Partitionstypen %s)";
inline constexpr const char* kImagePartitionOutside =
    "In der Abbilddatei %s reicht Partition %s \xFC"
    "ber das Dateiende hinaus";
inline constexpr const char* kImageDamagedBootSector =
    "Der Startsektor des FAT-Laufwerks in der Abbilddatei %s ist besch\xE4"
    "digt";
inline constexpr const char* kImageVolumeTooLarge =
    "Das FAT-Laufwerk in der Abbilddatei %s ist gr\xF6\xDF"
    "er als sein Platz in der Datei";

// Running the FAT tools for an image drive.
inline constexpr const char* kMtoolsMissing =
    "Die FAT-Werkzeuge (Paket mtools) sind nicht installiert; ohne sie l\xE4sst sich die "
    "Abbilddatei %s nicht bearbeiten";

// Images of other emulators, which QEMU (qemu-storage-daemon) shows as a raw disk over FUSE. Texts
// with two "%s" take the image file's name first, then the format's name or what QEMU reported.
inline constexpr const char* kImageEngineMissing =
    "Die Abbilddatei %s ist ein %s; bearbeiten l\xE4sst es sich mit qemu-storage-daemon aus dem "
    "Paket qemu-system-common, das nicht installiert ist";
inline constexpr const char* kImageFuseMissing =
    "Die Abbilddatei %s ist ein %s; bearbeiten l\xE4sst es sich \xFC"
    "ber FUSE mit fusermount3 aus dem Paket fuse3, das nicht installiert ist";
inline constexpr const char* kImageEngineFailed =
    "QEMU kann die Abbilddatei %s nicht bereitstellen: %s";
inline constexpr const char* kImageEngineTimedOut =
    "QEMU hat die Abbilddatei %s nicht in der vorgesehenen Zeit bereitgestellt";
inline constexpr const char* kImageExportFolder =
    "Der Ordner %s f\xFCr die Bereitstellung von Abbilddateien geh\xF6rt nicht allein Ihnen";

// An image that another process holds, and the lock taken before writing one. The texts about
// its use take the image file's name, the program and its process id.
inline constexpr const char* kImageInUse =
    "Die Abbilddatei %s ist in Benutzung: %s (PID %s) hat sie ge\xF6"
    "ffnet. Fahren Sie zuerst die virtuelle Maschine herunter; geschrieben wurde nichts";
inline constexpr const char* kImageInUseAtStart =
    "Die Abbilddatei %s ist in Benutzung: %s (PID %s) hat sie ge\xF6"
    "ffnet. Was Startgarten anzeigt, kann veraltet sein, und schreiben l\xE4sst sich die "
    "Start-Datei erst, wenn die virtuelle Maschine heruntergefahren ist";
inline constexpr const char* kImageUserUnseen = "ein Programm eines anderen Benutzers";
inline constexpr const char* kImagePidUnknown = "unbekannt";
inline constexpr const char* kImageCannotLock =
    "Die Abbilddatei %s l\xE4sst sich nicht zum Schreiben sperren";

// The other files that an image consists of (extents, a data file, the images it builds on), each
// looked at before QEMU opens any: the refusal takes the name of the file whose header names
// another, that name as written there, and the reason.
inline constexpr const char* kImageReferenceRefused =
    "Die Abbilddatei %s verweist auf %s; %s. Ge\xF6"
    "ffnet wurde nichts";
inline constexpr const char* kImageReferenceNotLocal = "das ist keine Datei dieses Rechners";
inline constexpr const char* kImageReferenceCannotOpen =
    "diese Datei l\xE4sst sich nicht \xF6"
    "ffnen";
inline constexpr const char* kImageReferenceNotRegular = "das ist keine gew\xF6hnliche Datei";
inline constexpr const char* kImageReferenceOutside =
    "diese Datei liegt nicht im Ordner der Abbilddatei";
inline constexpr const char* kImageReferenceNoDiskImage = "diese Datei ist kein Festplattenabbild";
inline constexpr const char* kImageReferenceOtherFormat =
    "diese Datei hat nicht das angegebene Format";
inline constexpr const char* kImageReferenceTwice = "diese Datei kommt im Abbild mehrfach vor";
inline constexpr const char* kImageReferenceTooDeep = "die Kette der Abbilder ist zu lang";
inline constexpr const char* kImageReferenceUnreadable =
    "Die Abbilddatei %s verweist auf eine weitere Datei, deren Angabe sich nicht lesen l\xE4sst. "
    "Ge\xF6"
    "ffnet wurde nichts";
inline constexpr const char* kImageNotRegular = "Die Abbilddatei %s ist keine gew\xF6hnliche Datei";

// Input/output errors, by their error code.
inline constexpr const char* kInOutFileNotFound = "Datei nicht gefunden";
inline constexpr const char* kInOutInvalidFileName = "Ung\xFCltiger Dateiname";
inline constexpr const char* kInOutTooManyOpenFiles =
    "Zu viele Dateien ge\xF6"
    "ffnet";
inline constexpr const char* kInOutAccessDenied = "Dateizugriff verweigert";
inline constexpr const char* kInOutReadPastEnd = "Lesen nach Dateiende (EOF)";
inline constexpr const char* kInOutDiskFull = "Kapazit\xE4t der Diskette/Festplatte ersch\xF6pft";
inline constexpr const char* kInOutInvalidNumber = "Ung\xFCltige numerische Eingabe";
inline constexpr const char* kInOutOther = "I/O-Fehler %d";

// The system's texts for Windows error codes.
inline constexpr const char* kSystemSuccess = "Der Vorgang wurde erfolgreich beendet";
inline constexpr const char* kSystemFileNotFound = "Die Datei wurde nicht gefunden";
inline constexpr const char* kSystemPathNotFound = "Der Pfad wurde nicht gefunden";
inline constexpr const char* kSystemTooManyOpenFiles =
    "Es sind zu viele Dateien ge\xF6"
    "ffnet";
inline constexpr const char* kSystemAccessDenied = "Der Zugriff wurde verweigert";
inline constexpr const char* kSystemNotEnoughMemory =
    "F\xFCr diesen Vorgang ist nicht gen\xFCgend Speicher frei";
inline constexpr const char* kSystemNotSameDevice =
    "Die Datei kann nicht auf ein anderes Laufwerk verschoben werden";
inline constexpr const char* kSystemWriteProtect = "Der Datentr\xE4ger ist schreibgesch\xFCtzt";
inline constexpr const char* kSystemGenFailure = "Ein Ger\xE4t des Systems funktioniert nicht";
inline constexpr const char* kSystemSharingViolation =
    "Die Datei wird von einem anderen Programm benutzt";
inline constexpr const char* kSystemDiskFull =
    "Auf dem Datentr\xE4ger ist nicht gen\xFCgend Platz frei";
inline constexpr const char* kSystemAlreadyExists =
    "Eine Datei dieses Namens ist bereits vorhanden";
inline constexpr const char* kSystemFilenameTooLong = "Der Dateiname ist zu lang";
inline constexpr const char* kSystemIoDevice =
    "Beim Zugriff auf das Ger\xE4t ist ein Ein-/Ausgabefehler aufgetreten";
inline constexpr const char* kSystemUnknown = "Unbekannter Systemfehler %d";

// The command line (startgarten --help, --version, a wrong call). The help and the usage hint
// end in a line break; the version text takes the version, the errors the argument.
inline constexpr const char* kCommandLineHelp =
    "Aufruf: startgarten [LAUFWERK]\n"
    "  oder: startgarten --show [LAUFWERK]\n"
    "  oder: startgarten [--dry-run] [--standard] [--set NAME=WERT]... [LAUFWERK]\n"
    "Zeigt und \xE4ndert die Startoptionen eines Windows-95-Startlaufwerks: im Fenster,\n"
    "oder mit --show, --standard und --set ohne Fenster und ohne Bildschirm.\n"
    "\n"
    "Laufwerk X: ist der Ordner $WINEPREFIX/dosdevices/x: (ohne WINEPREFIX: ~/.wine).\n"
    "LAUFWERK, ein Ordner oder die Abbilddatei einer Festplatte, ist f\xFCr diesen Lauf\n"
    "stattdessen Laufwerk C:; die \xFC"
    "brigen Laufwerke kommen dann nur aus einem in\n"
    "WINEPREFIX genannten Pr\xE4"
    "fix, nie aus ~/.wine.\n"
    "\n"
    "      --show           jede Option als Zeile NAME=WERT ausgeben, wie das Fenster\n"
    "                         sie nach dem Lesen zeigt\n"
    "      --standard       die Standardwerte setzen wie \x84Standardwerte\x93\n"
    "      --set NAME=WERT  eine Option setzen wie ein Klick oder eine Eingabe im\n"
    "                         Fenster; mehrmals m\xF6glich, in der gegebenen Reihenfolge\n"
    "      --dry-run        nichts schreiben, sondern f\xFCr jede Datei zeigen, was\n"
    "                         --standard und --set \xE4ndern w\xFCrden (diff -u)\n"
    "  -h, --help           diese Hilfe anzeigen und beenden\n"
    "  -V, --version        Versionsangabe anzeigen und beenden\n"
    "\n"
    "Nach --standard und --set wird geschrieben wie mit \x84OK\x93, ohne R\xFC"
    "ckfrage;\n"
    "mit --dry-run wird nichts geschrieben, Beendigungsstatus 0 wie beim Schreiben.\n"
    "NAME (Gro\xDF- und Kleinschreibung gleich) und WERT:\n"
    "  BootMenu, BootKeys, BootGUI, Network, BootFailSafe, BootWarn, BootMulti,\n"
    "  DblSpace, DrvSpace, LoadTop, Logo, DosPrompt   0 oder 1 (1: angekreuzt)\n"
    "  BootMenuDefault                                1 bis 8\n"
    "  BootMenuDelay, BootDelay                       Sekunden, ganze Zahl (32 Bit)\n"
    "  BootWin                                        0 (DOS) oder 1 (Windows 95)\n"
    "  DoubleBuffer                                   0 bis 2\n"
    "Was das Fenster gerade gesperrt zeigt, l\xE4sst sich nicht setzen.\n"
    "\n"
    "Beispiele:\n"
    "  startgarten --show ~/win95\n"
    "  startgarten --set Logo=0 --set BootDelay=0 ~/86box/win95.img\n"
    "\n"
    "Beendigungsstatus: 0, wenn das Fenster geschlossen wurde oder --show, --standard\n"
    "oder --set gelang; 1 ohne Anzeige f\xFCr das Fenster, wenn der Hinweis vor dem\n"
    "Fenster mit \x84"
    "Beenden\x93 geschlossen wurde oder wenn Lesen oder Schreiben misslang;\n"
    "2 bei falschem Aufruf.\n"
    "\n"
    "Mehr in der Handbuchseite: man startgarten\n";
inline constexpr const char* kCommandLineVersion =
    "startgarten %s\n"
    "Startoptionen eines Windows-95-Startlaufwerks ansehen und \xE4ndern.\n";
inline constexpr const char* kCommandLineUnknownOption =
    "startgarten: unbekannte Option \x84%s\x93\n";
inline constexpr const char* kCommandLineExtraArgument =
    "startgarten: \xFC"
    "berz\xE4hliges Argument \x84%s\x93\n";
inline constexpr const char* kCommandLineUsageHint =
    "Weitere Informationen mit \x84startgarten --help\x93.\n";

// The command line of scripts (--show, --standard, --set NAME=VALUE). Its wrong calls take the
// argument; a wrong value takes the option's name, then what it takes (one of the three value
// texts below), then the value given.
inline constexpr const char* kCommandLineMissingSetting =
    "startgarten: --set verlangt ein Argument NAME=WERT\n";
inline constexpr const char* kCommandLineMissingEquals =
    "startgarten: --set verlangt NAME=WERT, nicht \x84%s\x93\n";
inline constexpr const char* kCommandLineUnknownName =
    "startgarten: unbekannter Optionsname \x84%s\x93\n";
// An unknown name near one of the options' names: takes the name given, then that name.
inline constexpr const char* kCommandLineUnknownNameNear =
    "startgarten: unbekannter Optionsname \x84%s\x93, meinten Sie \x84%s\x93?\n";
inline constexpr const char* kCommandLineBadValue =
    "startgarten: %s verlangt %s, nicht \x84%s\x93\n";
inline constexpr const char* kCommandLineValuesEither = "%s oder %s";
inline constexpr const char* kCommandLineValuesRange = "%s bis %s";
inline constexpr const char* kCommandLineValuesInteger =
    "eine ganze Zahl von -2147483648 bis 2147483647";
inline constexpr const char* kCommandLineDryRunAlone =
    "startgarten: --dry-run verlangt --standard oder --set\n";
// A file that a dry run found the write would leave as it is: takes its DOS path.
inline constexpr const char* kDryRunUnchanged = "Unver\xE4ndert: %s\n";
inline constexpr const char* kCommandLineShowAndChange =
    "startgarten: --show l\xE4sst sich nicht mit --standard oder --set verbinden\n";
// A setting of a control that the window shows disabled; takes the option's name.
inline constexpr const char* kCommandLineDisabledOption =
    "startgarten: %s ist gesperrt, solange die \xFC"
    "brigen Optionen so stehen (im Fenster grau), und l\xE4sst sich nicht setzen\n";
// An error the window would show in a box (its text, then its title where that is not the
// program's name), and drive C missing (takes what was looked for), each a line on standard error.
inline constexpr const char* kCommandLineError = "startgarten: %s\n";
inline constexpr const char* kCommandLineDriveCMissing =
    "startgarten: Laufwerk C: gibt es nicht. %s\n";
// A file that was there but could not be read, whose keys a command without a window must not
// take as missing: takes the reason (a system error text), then the file's DOS path.
inline constexpr const char* kCommandLineUnreadable =
    "startgarten: %s: Kann Datei %s nicht lesen.\n";
// The window's program cannot be started: takes the reason (a system error text), then its path.
inline constexpr const char* kWindowProgramNotStarted =
    "startgarten: %s: Das Programm des Fensters, %s, l\xE4sst sich nicht starten.\n";

// Without a display: the message on standard error, which takes one of the two reasons. The
// commands it names need no display.
inline constexpr const char* kNoDisplay =
    "startgarten: %s\n"
    "Das Fenster braucht eine grafische Anzeige: eine X11-Anzeige in DISPLAY oder eine\n"
    "Wayland-Anzeige in WAYLAND_DISPLAY. Ohne Fenster:\n"
    "\n"
    "  startgarten --show [LAUFWERK]              die Startoptionen ausgeben\n"
    "  startgarten --set NAME=WERT \x85 [LAUFWERK]   Optionen setzen und schreiben\n"
    "  startgarten --standard [LAUFWERK]          die Standardwerte schreiben\n"
    "\n"
    "Weitere Informationen mit \x84startgarten --help\x93.\n";
inline constexpr const char* kNoDisplayNamed =
    "keine Anzeige, weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.";
inline constexpr const char* kNoDisplayOpened =
    "die Anzeige l\xE4sst sich nicht \xF6"
    "ffnen.";

// The notice before the window opens when drive C does not exist. Its text takes what was looked
// for: the path, followed by where it links when it is a link to nowhere; or why there was none.
inline constexpr const char* kDriveCMissing =
    "Laufwerk C: gibt es nicht.\n"
    "\n"
    "%s\n"
    "\n"
    "Startgarten bearbeitet das Startlaufwerk C: eines Windows 95: einen Ordner oder die "
    "Abbilddatei einer Festplatte. Nennen Sie es beim Start,\n"
    "\n"
    "    startgarten /mnt/win95\n"
    "    startgarten win95.img\n"
    "\n"
    "oder binden Sie es als Laufwerk C: eines Wine-Pr\xE4"
    "fixes ein:\n"
    "\n"
    "    mkdir -p ~/win95/dosdevices\n"
    "    ln -s /mnt/win95 ~/win95/dosdevices/c:\n"
    "    WINEPREFIX=~/win95 startgarten\n"
    "\n"
    "F\xFCr diesen Lauf k\xF6nnen Sie auch jetzt einen Ordner oder eine Abbilddatei als "
    "Laufwerk C: w\xE4hlen.";
inline constexpr const char* kDriveCLookedFor = "Gesucht wurde: %s";
inline constexpr const char* kDriveCLinkToNowhere =
    "\nDas ist eine Verkn\xFCpfung auf %s, und dort ist nichts.";
inline constexpr const char* kDriveCNoWinePrefix =
    "Gesucht wurde $WINEPREFIX/dosdevices/c:, doch WINEPREFIX nennt keinen absoluten Pfad, und "
    "ohne WINEPREFIX fehlt HOME f\xFCr die Vorgabe ~/.wine.";
// The notice before the window opens when drive C was chosen for this run and is no Windows 95
// boot drive. Its text takes the path and what was found there.
inline constexpr const char* kDriveCNoBootDrive =
    "Laufwerk C: ist kein Windows-95-Startlaufwerk.\n"
    "\n"
    "%s\n"
    "\n"
    "Ein Windows-95-Startlaufwerk hat in seinem Stammordner die versteckte Startdatei "
    "MSDOS.SYS, meist neben IO.SYS, COMMAND.COM, AUTOEXEC.BAT und dem Ordner WINDOWS. Es ist ein "
    "Ordner, etwa eine eingeh\xE4ngte Partition, oder die Abbilddatei einer Festplatte oder "
    "Diskette mit einem FAT-Laufwerk.\n"
    "\n"
    "W\xE4hlen Sie einen anderen Ordner oder eine andere Abbilddatei als Laufwerk C:.";
inline constexpr const char* kDriveCChosen = "Gew\xE4hlt wurde: %s";
// What was found there. The folder's text takes the first names in it, and the count of its
// entries when there are more.
inline constexpr const char* kFoundEmptyFolder = "Dort ist ein leerer Ordner.";
inline constexpr const char* kFoundFolder = "Dort ist ein Ordner ohne MSDOS.SYS. Er enth\xE4lt: %s";
inline constexpr const char* kFoundFolderCount = " \x85 (%s Eintr\xE4ge)";
inline constexpr const char* kFoundUnreadableFolder =
    "Dort ist ein Ordner, der sich nicht lesen l\xE4sst: %s.";
inline constexpr const char* kFoundBootFileFolder =
    "Dort ist ein Ordner, doch MSDOS.SYS in ihm ist ein Ordner, keine Datei.";
inline constexpr const char* kFoundImageWithoutBootFile =
    "Dort ist eine Abbilddatei mit einem FAT-Laufwerk, doch ohne MSDOS.SYS in seinem Stammordner.";
inline constexpr const char* kFoundFifo =
    "Dort ist eine benannte Pipe (FIFO), weder ein Ordner noch eine Abbilddatei.";
inline constexpr const char* kFoundDevice =
    "Dort ist eine Ger\xE4tedatei, weder ein Ordner noch eine Abbilddatei.";
inline constexpr const char* kFoundOtherFile = "Dort ist weder ein Ordner noch eine Abbilddatei.";

// The box before the window: its title, the list of drives chosen lately (a path that is gone
// takes the mark), its buttons, the titles of the dialogs that choose a folder or an image as
// drive C, and the image dialog's filters (the first takes the file name patterns).
inline constexpr const char* kDriveCBoxTitle = "Startgarten";
inline constexpr const char* kDriveCRecent = "Zuletzt gew\xE4hlt:";
inline constexpr const char* kDriveCRecentGone = "%s (nicht mehr vorhanden)";
inline constexpr const char* kDriveCImageFilter = "Abbilddateien (%s)";
inline constexpr const char* kDriveCAllFiles = "Alle Dateien (*)";
inline constexpr const char* kDriveCChooseFolder = "Ordner w\xE4hlen \x85";
inline constexpr const char* kDriveCChooseFolderTitle = "Ordner f\xFCr Laufwerk C: w\xE4hlen";
inline constexpr const char* kDriveCChooseImage = "Abbild w\xE4hlen \x85";
inline constexpr const char* kDriveCChooseImageTitle = "Abbilddatei f\xFCr Laufwerk C: w\xE4hlen";
inline constexpr const char* kDriveCQuit = "Beenden";

// The names a screen reader gives a spin edit's two buttons, which show only arrows.
inline constexpr const char* kSpinUpName = "Erh\xF6hen";
inline constexpr const char* kSpinDownName = "Verringern";

}  // namespace startgarten::messages

#pragma once

// The texts of the program's command line and of what it shows before its window opens, in code
// page 1252, beside those of the functions it calls (platform/windows/messages.h).
namespace startgarten::messages {

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

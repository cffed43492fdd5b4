#pragma once

// The texts about disk images as drives, in code page 1252, beside the program's others
// (platform/windows/messages.h).
namespace startgarten::messages {

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
inline constexpr const char* kImageReferenceThroughAutomount =
    "der Weg dorthin f\xFChrt durch einen Ordner, den das System erst beim Zugriff einh\xE4ngt, "
    "vielleicht von einem anderen Rechner";
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
// A stream-optimized VMDK, which QEMU cannot change where something is stored already: takes the
// image file's name.
inline constexpr const char* kImageStreamOptimized =
    "Die Abbilddatei %s ist ein VMDK-Abbild im Format streamOptimized, das sich nur lesen "
    "l\xE4sst. "
    "Startgarten \xE4ndert darin nichts; qemu-img convert -O vmdk macht daraus ein Abbild, das "
    "sich "
    "\xE4ndern l\xE4sst";
inline constexpr const char* kImageNotRegular = "Die Abbilddatei %s ist keine gew\xF6hnliche Datei";

}  // namespace startgarten::messages

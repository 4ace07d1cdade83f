#pragma once
// Backup of the program directory: its data and side files go, by bare name, into one ZIP
// archive "OVBackup.zip" in a folder the user chooses, and the data files optionally also into
// the "Backup" folder of the program directory. Plain procedures apart from the backup window.
//
// The program directory is the current directory. The last folder chosen for the archive is
// remembered in the side file "OVBackup.ini" (one line, the folder's path).

#include <functional>
#include <string>
#include <vector>

namespace exchange {

inline constexpr char BackupFileMask[] = "*.DAT;*.IX;*.SAV;*.LST;*.LBL;*.RTF;*.BMP";
inline constexpr char BackupArchiveName[] = "OVBackup.zip";
inline constexpr char BackupFolderName[] = "Backup";
// Its presence says that the Backup folder has been set up.
inline constexpr char BackupFolderMarker[] = "LastCo.dat";
inline constexpr char LastBackupFolderFile[] = "OVBackup.ini";

// Every plain file of the program directory that matches the mask (letters of either case), in
// name order; hidden files are left out.
std::vector<std::string> ListBackupFiles();

// The archive's path in a folder: an archive there whose name differs only by case is the one
// meant.
std::string BackupArchivePath(const std::string& folder);

// Why no backup may be made now, in the user's words; empty when one may. The archive holds the
// data files of every company but never a posting's journal: while a posting is under way, or
// waits to be undone, half of it would be in the archive with nothing to undo it.
std::string BackupRefusal();

// Writes the archive of `files` into `folder`, replacing an older archive only when the new one
// is complete and on the disk. Every file is held against other writers while it is read, so a
// file another program has open fails the backup. keepAlive is called now and then. False, with
// the message for the user in *failure, when no backup may be made now (BackupRefusal), when no
// new archive was made, or when one was but its folder could not be synced after it.
[[nodiscard]] bool WriteBackupArchive(const std::vector<std::string>& files, const std::string& folder,
                                      const std::function<void()>& keepAlive, std::string* failure);

struct FolderCopyResult {
  int wanted = 0;                     // data files meant for the Backup folder
  int copied = 0;                     // and copied there
  std::vector<std::string> failures;  // "NAME (reason)" of each that was not
};

// Copies the data files (names containing ".DAT", either case) among `files` into the Backup
// folder, which is made when it is not set up yet; older copies are replaced.
FolderCopyResult CopyToBackupFolder(const std::vector<std::string>& files);

// The folder remembered from the last backup or restore; empty when there is none.
std::string LoadLastBackupFolder();
void SaveLastBackupFolder(const std::string& folder);

// Why a file operation failed, for the user: a file held by another program is "in use".
std::string FileErrorText(int error);
// "NAME: reason." for a file an operation failed on; an error of 0 is told as an I/O error.
std::string FileFailureText(const std::string& name, int error);

}  // namespace exchange

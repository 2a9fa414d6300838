#pragma once

namespace upkeep::zip {

/// Result codes of the archive component's operations. 0 is success; the
/// backup window has a message for each of the others.
namespace result {
inline constexpr int Success = 0;
inline constexpr int NothingToDo = 10;
inline constexpr int FilesSkipped = 40;
inline constexpr int EmptyZipFile = 50;
inline constexpr int FileNotFound = 100;
inline constexpr int BadZipFile = 110;
inline constexpr int OutOfMemory = 120;
inline constexpr int InvalidSettings = 130;
inline constexpr int DiskFull = 150;
inline constexpr int CorruptedData = 160;
inline constexpr int Aborted = 190;
inline constexpr int TestFailed = 200;
inline constexpr int NothingTested = 210;
inline constexpr int TempFileProblem = 280;
inline constexpr int ReadError = 290;
inline constexpr int WriteError = 300;
inline constexpr int CreateError = 310;
inline constexpr int EmptyOrDirectoriesOnly = 380;
inline constexpr int ReadWriteError = 400;
inline constexpr int MultidiskNotAllowed = 410;
inline constexpr int WrongDiskTooOften = 420;
inline constexpr int NotForMultidisk = 430;
inline constexpr int BadEventParameter = 460;
inline constexpr int CannotCreateFolder = 510;
} // namespace result

/// Why a file was skipped (the SkippingFile event).
namespace skip {
inline constexpr int NotFound = 0;
inline constexpr int UnknownCompression = 1;
inline constexpr int BadCrc = 2;
inline constexpr int UpToDate = 3;
inline constexpr int CannotOpen = 4;
inline constexpr int Encrypted = 5;
inline constexpr int CorruptedData = 6;
inline constexpr int NotOverwritten = 7;
/// The entry's name would put it outside the folder it is restored to.
inline constexpr int OutsideFolder = 8;
/// The entry is a link or a special file, never an ordinary file.
inline constexpr int NotAFile = 9;
/// The file system refuses a name that long.
inline constexpr int NameTooLong = 10;
/// The entry would not fit the free space of the folder it is restored to.
inline constexpr int NoRoom = 11;
} // namespace skip

/// The reply to the Replace event.
namespace replace {
inline constexpr int No = 0;
inline constexpr int Yes = 1;
} // namespace replace

} // namespace upkeep::zip

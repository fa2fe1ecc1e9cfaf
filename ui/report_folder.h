// Where the dialog's report goes when the current folder will not keep it.
#pragma once

#include <string>

// Whether the process's current folder lies inside the user's temporary
// folder (GetTempPathW). Explorer starts a program opened inside a zip from
// such a folder, which it deletes later, report and all.
bool currentFolderIsTemporary();

// The user's Documents folder (SHGetKnownFolderPath), in UTF-8; "" when the
// system names none.
std::string documentsFolder();

// Path text for files that live beside the executable. Platform-free so the
// length rules are tested natively.
#pragma once
#include <cstddef>

const std::size_t kPathBufferSize = 260;

// Whether a byte starts a two-byte character in the code page of the text.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Writes the directory part of modulePath (up to and including its last
// backslash; the whole text when it has none) into out; the second byte of
// a two-byte character is never taken for a backslash. The output buffer is
// cleared first. Returns false, leaving out empty, when the result and its
// terminator do not fit in size bytes.
bool DirectoryOfPath(const char* modulePath, LeadBytePredicate isLeadByte, char* out,
                     std::size_t size);

// Writes directory + fileName into out, cleared first. Returns false, leaving
// out empty, for an empty directory or when the joined path does not fit in kPathBufferSize bytes
// (the platform's path limit) or in size bytes: a cut path would name another file.
bool JoinDirectoryAndFile(const char* directory, const char* fileName, char* out, std::size_t size);

// Writing the payload archive from files on disk, shared by `zbpack archive create` and
// `zbpack setup build`: the checks of every input against the setup's limits and the records
// copied in blocks, so that no file is ever held whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace archive {

struct Input {
    std::string path;  // the file, or empty for an entry held in content
    std::string name;
    std::string upperName;
    uint32_t size;
    std::string content;  // the bytes of an entry made in memory
};

// Checks one file before anything is written: a name Windows stores as given (names::), a regular
// file of at most 15000000 bytes. Reports a problem as "<prefix>: <path>: <why>" on stderr.
// Returns the exit status: kExitOk, kExitUsage when refused, kExitFailed when it cannot be read.
int CheckInput(const char* prefix, const char* path, Input* input);

// An entry made in memory, named name (a bare name within the limits).
Input MemoryInput(const char* name, std::string content);

// Puts the inputs in the archive's order, ascending upper-cased names, and reports every pair
// that differs only in letter case as Windows folds it, the Windows-1252 accented letters too
// (the setup's file system would let one overwrite the other).
// False when it reported a pair.
bool SortInputs(const char* prefix, std::vector<Input>* inputs);

// The archive's length for these inputs.
uint64_t ArchiveLength(const std::vector<Input>& inputs);

// Writes the records through write (which returns true when it took every byte). A file whose
// length changed since CheckInput is reported. False on failure.
bool WriteRecords(const char* prefix, const std::vector<Input>& inputs,
                  const std::function<bool(const void*, size_t)>& write);

}  // namespace archive

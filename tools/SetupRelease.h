// The release inputs of `zbpack setup build` (--documents, --version, --art), checked and laid
// into the stub's resources, and `zbpack setup extract`, which writes them back with the payload
// and the dictionary text.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "tools/PeImage.h"

struct ReleaseOptions {
    const char* documents = nullptr;  // a folder of RTF documents
    const char* version = nullptr;    // "A.B[.C[.D]]"
    const char* art = nullptr;        // a folder of the pictures and the icon
};

// Checks every release input, reports each problem on stderr and adds it to *problems and, when
// there is none, replaces the stub's resources of the same names (new bytes are kept in storage,
// which must outlive resources). language is the stub's. True when it found no problem.
bool ApplyReleaseInputs(const char* prefix, const ReleaseOptions& options, uint16_t language,
                        std::vector<pe::Resource>* resources, std::deque<std::string>* storage,
                        int* problems);

// The version line of `zbpack setup list`: "version TEXT (A.B.C.D)", or "" without a readable
// version resource.
std::string DescribeVersion(const std::vector<pe::Resource>& resources);

// zbpack setup extract SETUP.exe DIR.
int RunExtract(int argc, char** argv);

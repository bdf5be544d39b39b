// Writes one of the setup's own resources to a file, advancing the install dialog's progress bar.
#pragma once

#include "platform/Types.h"

struct Platform;

// The setup's resources that carry the product, both of one type: the dictionary container and
// the payload archive. zbpack writes them; the setup extracts each into a file of the same name.
constexpr const char* kPlainExtractType = "PlainExtract";
constexpr const char* kDictionaryResourceName = "DICT.DIC";
constexpr const char* kArchiveResourceName = "RESOURCE.DAT";

// Copies the resource (type, name) of platform.resources byte for byte into targetPath, created
// or truncated. Progress: the size is cut into divisor steps; positions from startPosition go to
// progressWindow's control 1005 (nothing is sent without a window). Returns 1 when the file was
// written in full, 0 when the resource does not exist, the file cannot be created or not every
// byte reached it (the user has then been told; a partly written file is removed).
int ExtractResourceToFile(Platform& platform, const char* targetPath, const char* type,
                          const char* name, WindowHandle progressWindow, unsigned divisor,
                          int startPosition);

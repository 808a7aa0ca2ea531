// The compile driver: turns an open script into its show image, logs the run in the script's
// compile view, stores the image in the document and in "<script>.DAT" beside the script, and
// hands a clean image to the download.
#pragma once

#include <filesystem>
#include <string>

class CVLDoc;

namespace compiler {

// Compiles the whole script on the user-interface thread (reached through the document's
// compile command).
void CompileMain(CVLDoc& doc);

// Where a script's image file goes: "<script name>.DAT" in the script's own folder, or in the
// current directory for a script not saved yet.
std::filesystem::path ImageFilePath(const CVLDoc& doc);

// True when `image` is the document's own script file, compared as files and, for volumes
// that ignore case, by name without regard to case.
bool IsScriptFile(const CVLDoc& doc, const std::filesystem::path& image);

// Writes the image through a temporary file renamed over the target, so a failed write leaves
// an existing file as it was. False on any failure, with the system's reason in `reason`.
bool WriteImageFile(const std::filesystem::path& path, const unsigned char* data,
                    std::size_t length, std::string* reason = nullptr);

// The late-night remark for a local hour and second (with its two line breaks), or empty.
std::string LateNightRemark(int hour, int second);

} // namespace compiler

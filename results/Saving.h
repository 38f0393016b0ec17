#pragma once

#include <string>
#include <string_view>

#include "run/RunContext.h"

namespace results {

// The file name AutoSave gives a run, without its extension: the volume label as it stands,
// trailing blanks included, except that control characters (NUL to 0x1F, and DEL) and every
// character a file name of this system may not hold ("/"; on Windows also \ : * ? " < > |)
// become "_", and so do the dots of a label that is "." or "..", and a label that names a
// device of the system (NUL, COM1 on Windows) gets a "_" in front; a UTF-8 character that
// the label's 32 bytes cut in two is left out, so that the name stays UTF-8. The label comes
// from the disc: it must pick neither the folder nor a device, nor put escape sequences into
// a listing of it.
std::string AutoSaveBaseName(std::string_view volumeLabel);

// The full path of a file of that name in the current folder, as AutoSave's errors name it;
// the name itself when the folder cannot be told.
std::string InCurrentFolder(const std::string& name);

// Writes the chart picture to VolumeLabel + ".bmp", then the document to VolumeLabel + ".dat",
// in the current folder, each whether the other could be written or not. A file that cannot
// be created is shown as "Cannot create file %s: REASON" with its full path; false then.
bool AutoSave(run::RunContext& ctx);

// Ask for a file name and write the chart picture or the document to it. A cancelled dialog
// writes nothing; a file that cannot be created is shown as "Cannot create file %s: REASON".
void SaveGraphic(run::RunContext& ctx);
void SaveData(run::RunContext& ctx);

// Ticks AutoSave when it is unticked, and the other way round.
void ToggleAutoSave(run::RunWindow& window);

}  // namespace results

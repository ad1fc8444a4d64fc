#pragma once

namespace kiln {

// The profile side files (.ini, _shaders.ini, .cfg) gather the entries of an
// export in memory; they reach the disk only when the export has put its
// output file in place, so a failed export leaves them as they were and the
// kept output and its side files never disagree.

// Called once the output file of the export is in place: the side files take
// the export's entries. With emptyIniFiles (the artist answered Yes to
// "Overwrite existing .ini file") the .ini, _shaders.ini and .cfg files first
// lose what they held, keeping only this export's entries. False when a file
// could not be written. With newIniFile (there was no .ini file to ask about)
// an existing _shaders.ini and .cfg are emptied the same way, so that the
// sections of materials gone from the scene, and the ranges of channels no
// longer wired, do not linger from an earlier export.
bool CompleteSideFiles(bool emptyIniFiles, bool newIniFile = false);

// Called when the export put no file in place: every side file stays as it was.
void AbandonSideFiles();

}  // namespace kiln

#pragma once

#include <QString>

// Writes a short two-tone chime as a 16-bit mono WAV file, for the demo
// office's reminder sound. False when the file cannot be written.
bool writeBellSound(const QString& path);

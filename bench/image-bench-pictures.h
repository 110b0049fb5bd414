#pragma once

#include <QString>

// Writes `count` photograph-like JPEG files (smooth gradients, sensor-like noise, a line of text) of the
// given size into the folder as picture-NN.jpg; false when one cannot be written.
bool WriteBenchPictures(const QString& folder, int count, int width, int height);

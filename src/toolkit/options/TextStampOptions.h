#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>

// A line of text the user placed, styled and rotated on a preview whose longer side is 550 points:
// every position and size here is in that reference space.
struct TextStampOptions {
    QString text;
    double x = 0;
    double y = 0;
    double referenceWidth = 0;
    double referenceHeight = 0;
    QFont font; // only its family name is used
    std::int64_t fontSize = 0;
    std::uint32_t drawingMode = 0; // 0 fills, any other mode strokes
    QColor color;
    std::int64_t strokeWidth = 0;
    double alpha = 0;
    double characterSpacing = 0;
    std::int64_t angle = 0; // degrees
    std::uint8_t hasShadow = 0;
    QColor shadowColor;
    std::int64_t shadowBlur = 0;
    std::int64_t shadowOffsetX = 0;
    std::int64_t shadowOffsetY = 0;
    double right = 0; // far corner of the text's box
    double top = 0;
};

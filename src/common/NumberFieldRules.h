#pragma once

#include "common/NumberScanner.h"

#include <optional>

// The validated number fields. Each keeps its text a number of one kind while the user types and forces it
// into range when editing ends; they differ only in the rules below.
enum class NumberFieldType {
    WholeNumberField,
    NumberField,
    ZeroCountNumberField,
    StartDigitNumberField,
    PageCountNumberField,
    FileSizeNumberField,
    ResolutionComboBox,
    FontSizeNumberField,
    RotationAngleNumberField,
    ShadowBlurNumberField,
    ShadowXOffsetNumberField,
    ShadowYOffsetNumberField,
    PDFScaleNumberField,
    CharSpaceField,
    ScaleComboBox,
    ScaleFactorNumberField,
};

// int: 32-bit signed; integer: 64-bit signed; float: single precision; double.
enum class NumberKind { Int, Integer, Float, Double };

// When editing ends, a value below `below` is replaced by `value`.
struct EndOfEditingCorrection {
    double below = 0;
    double value = 0;
};

struct NumberFieldRules {
    NumberFieldType type = NumberFieldType::NumberField;
    NumberKind kind = NumberKind::Double;
    NumberScanner::Skipping skipping = NumberScanner::Skipping::WhiteSpace;
    // A text that is not a complete number is rewritten as its leading number (0 when there is none),
    // raised to this minimum.
    double typingMinimum = 0;
    // A number above this maximum is lowered to it at once, even a complete one.
    std::optional<double> typingMaximum;
    // A lone "-" is left to stand, so that a negative number can be typed.
    bool keepsLoneMinus = false;
    std::optional<EndOfEditingCorrection> endOfEditing;
};

NumberFieldRules RulesFor(NumberFieldType type);

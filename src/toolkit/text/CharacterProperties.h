#pragma once

#include <QColor>
#include <QString>
#include <QTextCharFormat>

#include <optional>
#include <tuple>

// Properties given as a set of optional fields merge alike: a field the later set gives replaces
// the earlier one, a field it leaves unset keeps it. Fields(...) ties a set's fields in one list,
// so that the list is written once for both sides.
template <class Mine, class Theirs>
void MergeGivenFields(const Mine& mine, const Theirs& theirs)
{
    std::apply(
        [&theirs](auto&... target) {
            std::apply([&target...](const auto&... source) { ((source ? void(target = source) : void()), ...); },
                       theirs);
        },
        mine);
}

// The character formatting word-processing files give a run of text, directly or through a style:
// each property is unset until a source gives it, so that styles, defaults and the run's own
// properties can be merged in the order their format applies them.
struct CharacterProperties {
    std::optional<QString> font;
    std::optional<double> pointSize;
    std::optional<bool> bold, italic, underline, strike;
    std::optional<QColor> color, background;
    std::optional<int> vertical; // 0 baseline, 1 superscript, 2 subscript

    template <class Self>
    static auto Fields(Self& self)
    {
        return std::tie(self.font, self.pointSize, self.bold, self.italic, self.underline, self.strike, self.color,
                        self.background, self.vertical);
    }

    void merge(const CharacterProperties& over) { MergeGivenFields(Fields(*this), Fields(over)); }

    // As a format: unset fields, and switches that are off, leave the format's defaults.
    QTextCharFormat format() const;

    // What a format sets of these, as a writer puts it in a file: the switches only where they are
    // on (bold from demibold up), sizes above zero, colours and fonts where the format names them.
    static CharacterProperties OfFormat(const QTextCharFormat& format);
};

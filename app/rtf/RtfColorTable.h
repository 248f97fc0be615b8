#pragma once
// The colours declared in \colortbl. Entry 0 is normally empty, meaning
// "automatic" (the editor's own text colour); so is any entry without
// \red, \green or \blue.

#include <QColor>
#include <QList>
#include <optional>

namespace karsidan::rtf {

class RtfColorTable {
public:
    void SetRed(int value);
    void SetGreen(int value);
    void SetBlue(int value);
    // Ends the entry being built (at ';').
    void FinishEntry();

    // Empty for "automatic" and for numbers outside the table.
    std::optional<QColor> Color(int index) const;
    int Count() const { return static_cast<int>(colors_.size()); }

    // A table larger than this is hostile; later entries are dropped.
    static constexpr int kMaxColors = 4096;

private:
    QList<std::optional<QColor>> colors_;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    bool specified_ = false;
};

} // namespace karsidan::rtf

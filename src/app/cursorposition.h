#pragma once

#include <QString>

#include <memory>

namespace corvane {

/// The status bar's text for the plan cursor: X and Y, and with a coordinate system
/// its latitude and longitude in 度分秒. Keeps the transformation between moves.
class CursorPositionText {
public:
    CursorPositionText();
    ~CursorPositionText();
    CursorPositionText(const CursorPositionText&) = delete;
    CursorPositionText& operator=(const CursorPositionText&) = delete;

    /// The system's text as the settings keep it; empty or unknown: none.
    void setCoordinateSystem(const QString& text);
    QString textFor(double north, double east) const;

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

}  // namespace corvane

#pragma once

namespace corvane {

/// The mapping of the longitudinal section: cumulative distance to the right,
/// elevation up, with the vertical scale exaggerated against the horizontal one.
class ProfileViewport {
public:
    static constexpr int kLeftMargin = 64;
    static constexpr int kRightMargin = 16;
    static constexpr int kTopMargin = 16;
    static constexpr int kBottomMargin = 40;
    /// The band at the plot's top kept for the J stakes' names and distances: a fit
    /// puts the highest ground and crossing tops below it.
    static constexpr int kLabelBand = 30;

    struct Point {
        double x = 0.0;
        double y = 0.0;
    };

    void setSize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }
    int plotWidth() const;
    int plotHeight() const;
    /// The plot's height under the label band.
    int dataHeight() const;

    /// Shows the whole range. Unless the user chose an exaggeration, one is picked so
    /// that the elevations fill the height below the label band; a range without
    /// extent is centred at one metre per pixel.
    void fit(double minDistance, double maxDistance, double minElevation, double maxElevation);
    /// Sets the vertical exaggeration (clamped to 1..1000) about the plot's centre and
    /// keeps it through later fits.
    void setExaggeration(double exaggeration);
    double exaggeration() const { return m_exaggeration; }
    /// Horizontal metres per pixel.
    double metresPerPixel() const { return m_kx; }
    double verticalMetresPerPixel() const { return m_kx / m_exaggeration; }

    Point toPixel(double distance, double elevation) const;
    Point toWorld(double x, double y) const;

    /// Moves the section with the mouse: the world point under the cursor follows it.
    void pan(double dx, double dy);
    /// Zooms both axes about the plot's centre; factor < 1 zooms in.
    void zoom(double factor);

    double leftDistance() const { return m_x0; }
    double rightDistance() const { return m_x0 + plotWidth() * m_kx; }
    double bottomElevation() const { return m_y0; }
    double topElevation() const { return m_y0 + plotHeight() * verticalMetresPerPixel(); }

private:
    int m_width = 400;
    int m_height = 200;
    double m_x0 = 0.0;  // distance at the plot's left edge
    double m_y0 = 0.0;  // elevation at the plot's bottom edge
    double m_kx = 1.0;
    double m_exaggeration = 10.0;
    bool m_exaggerationChosen = false;
};

}  // namespace corvane

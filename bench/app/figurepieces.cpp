#include "figurepieces.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <memory>

#include "datacalculation.h"
#include "filesystem.h"
#include "plangeometry.h"
#include "pointfilereader.h"
#include "pointtable.h"
#include "profiledata.h"

namespace corvane {
namespace {

volatile char g_kept;

class Piece {
public:
    explicit Piece(const char* name) : m_name(name) { m_clock.start(); }
    ~Piece() {
        std::printf("piece %s %.1f\n", m_name, m_clock.nsecsElapsed() / 1e6);
        std::fflush(stdout);
    }

private:
    const char* m_name;
    QElapsedTimer m_clock;
};

}  // namespace

int timeFigurePieces(const QString& file) {
    const std::string path = file.toStdString();
    {
        // What the system charges for memory a program touches first.
        constexpr size_t kSize = size_t{256} << 20;
        Piece piece("touch-256mb");
        const std::unique_ptr<char[]> fresh(new char[kSize]);
        std::memset(fresh.get(), 1, kSize);
        // Read back through volatile, so that the filling is not left out.
        const volatile char* filled = fresh.get();
        g_kept = filled[kSize / 2];
    }
    {
        Piece piece("read-file");
        if (!readWholeFile(path))
            return 1;
    }
    Result<ImportedPoints> read = [&] {
        Piece piece("read-survey");
        return readPointFile(path, PointFileFormat::Ept);
    }();
    if (!read)
        return 1;
    PointTable table;
    {
        Piece piece("table-replace");
        table.replaceAll(std::move(read->rows), std::move(read->otherLines), path);
    }
    {
        Piece piece("plan-geometry");
        PlanGeometry geometry(table);
        geometry.sync();
    }
    {
        Piece piece("section-data");
        const ProfileData profile = buildProfile(table);
    }
    {
        Piece piece("calculation");
        if (calculateData(table))
            return 1;
    }
    {
        Piece piece("calculation-undo");
        table.undo();
    }
    {
        Piece piece("calculation-again");
        if (calculateData(table))
            return 1;
    }
    return 0;
}

}  // namespace corvane

#include "recoverycopy.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <utility>

#include "filesystem.h"
#include "largebuffer.h"
#include "rowarena.h"

namespace corvane {
namespace {

// The layout, all numbers little-endian:
//   magic (8) | version u32 | file size u64 | taken at i64 | mode u32 | row count u64 |
//   source: u32 size, bytes | line points: u32 count, each u32 size and bytes |
//   other lines: u64 count, u64 text size, u32 sizes, text |
//   rows: u64 text size, u32 sizes (row count of them), text |
//   checked rows: u64 count, u32 places |
//   check sum u64 of everything before it.
// The size and the check sum make a copy cut short or damaged known as such.
constexpr char kMagic[8] = {'C', 'V', 'R', 'E', 'C', 'O', 'V', '\x1a'};
constexpr size_t kFixedHead = 8 + 4 + 8 + 8 + 4 + 8;
constexpr size_t kChecksumSize = 8;

void put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void put64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint64_t load(const char* p, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    return v;
}

/// A 64-bit check sum taken eight bytes at a time, fed in pieces of any size.
class Checksum {
public:
    void add(std::string_view bytes) {
        const char* p = bytes.data();
        size_t n = bytes.size();
        while (n > 0 && m_pending > 0) {
            m_tail[m_pending++] = *p++;
            --n;
            if (m_pending == 8) {
                mix(load(m_tail, 8));
                m_pending = 0;
            }
        }
        for (; n >= 8; p += 8, n -= 8)
            mix(load(p, 8));
        for (; n > 0; --n)
            m_tail[m_pending++] = *p++;
    }
    uint64_t value() const {
        uint64_t h = m_hash;
        uint64_t last = 0;
        for (size_t i = 0; i < m_pending; ++i)
            last |= uint64_t{static_cast<unsigned char>(m_tail[i])} << (8 * i);
        h = (std::rotl(h ^ (last * kA), 29) * kB) ^ (m_pending + 1);
        h ^= h >> 33;
        h *= kA;
        h ^= h >> 29;
        return h;
    }

private:
    static constexpr uint64_t kA = 0x9E3779B97F4A7C15ULL;
    static constexpr uint64_t kB = 0xC2B2AE3D27D4EB4FULL;
    void mix(uint64_t word) { m_hash = std::rotl(m_hash ^ (word * kA), 31) * kB; }

    uint64_t m_hash = 0x243F6A8885A308D3ULL;
    char m_tail[8] = {};
    size_t m_pending = 0;
};

/// Hands pieces on to the file and to the check sum.
class Output {
public:
    explicit Output(const ByteSink& sink) : m_sink(sink) {}
    bool write(std::string_view bytes) {
        if (bytes.empty())
            return true;
        m_sum.add(bytes);
        m_written += bytes.size();
        return m_sink(bytes);
    }
    /// The sizes of the lines, a block at a time.
    bool writeSizes(const TextLines& lines) {
        std::string block;
        for (size_t i = 0; i < lines.size(); ++i) {
            put32(block, static_cast<uint32_t>(lines[i].size()));
            if (block.size() >= (size_t{1} << 16)) {
                if (!write(block))
                    return false;
                block.clear();
            }
        }
        return write(block);
    }
    bool finish() {
        std::string sum;
        put64(sum, m_sum.value());
        return m_sink(sum);
    }
    uint64_t written() const { return m_written; }

private:
    const ByteSink& m_sink;
    Checksum m_sum;
    uint64_t m_written = 0;
};

std::string damaged() {
    return "恢复副本已损坏，无法读取。";
}

std::string cutShort() {
    return "恢复副本不完整（可能在写入时被中断），无法读取。";
}

/// Reads the layout from memory, never past its end.
class Input {
public:
    explicit Input(std::string_view bytes) : m_bytes(bytes) {}
    bool has(uint64_t n) const { return n <= m_bytes.size() - m_at; }
    uint32_t u32() { return static_cast<uint32_t>(take(4)); }
    uint64_t u64() { return take(8); }
    std::string_view bytes(uint64_t n) {
        if (!has(n)) {
            m_failed = true;
            return {};
        }
        std::string_view out = m_bytes.substr(m_at, n);
        m_at += n;
        return out;
    }
    /// `count` lines whose u32 sizes come first and their text after, `textSize` bytes.
    bool lines(uint64_t count, uint64_t textSize, TextLines& out) {
        if (count > m_bytes.size() || !has(count * 4))
            return fail();
        std::string_view sizes = bytes(count * 4);
        std::string_view text = bytes(textSize);
        if (m_failed)
            return false;
        out.reserve(count, textSize);
        uint64_t at = 0;
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t size = load(sizes.data() + 4 * i, 4);
            if (size > textSize - at)
                return fail();
            out.push_back(text.substr(at, size));
            at += size;
        }
        return at == textSize || fail();
    }
    bool failed() const { return m_failed; }
    size_t at() const { return m_at; }

private:
    uint64_t take(int n) {
        if (!has(n)) {
            m_failed = true;
            return 0;
        }
        const uint64_t v = load(m_bytes.data() + m_at, n);
        m_at += n;
        return v;
    }
    bool fail() {
        m_failed = true;
        return false;
    }

    std::string_view m_bytes;
    size_t m_at = 0;
    bool m_failed = false;
};

/// The fixed head: checks the magic, the version and the size against `fileSize`.
Result<RecoveryInfo> readHead(Input& in, uint64_t fileSize, DisplayMode* mode) {
    if (!in.has(8))
        return Error::data(cutShort());
    if (std::string_view(kMagic, 8) != in.bytes(8))
        return Error::data("这不是 Corvane 的恢复副本，无法读取。");
    const uint32_t version = in.u32();
    if (in.failed())
        return Error::data(cutShort());
    if (version > kRecoveryVersion)
        return Error::data("恢复副本由更新版本的 Corvane 写入，无法读取。");
    if (version == 0)
        return Error::data(damaged());
    const uint64_t size = in.u64();
    RecoveryInfo info;
    info.takenAtMs = static_cast<int64_t>(in.u64());
    const uint32_t modeNumber = in.u32();
    info.rowCount = in.u64();
    if (in.failed() || size > fileSize)
        return Error::data(cutShort());
    if (size != fileSize || modeNumber > 2)
        return Error::data(damaged());
    if (mode)
        *mode = static_cast<DisplayMode>(modeNumber);
    const uint32_t sourceSize = in.u32();
    info.source = std::string(in.bytes(sourceSize));
    if (in.failed())
        return Error::data(damaged());
    return info;
}

std::string quoted(const std::string& path) {
    return "“" + path + "”";
}

}  // namespace

RecoveryState beginRecoveryState(const PointTable& table, int64_t takenAtMs) {
    RecoveryState state;
    // Room for every row at once, so that the text never moves while it grows (moving
    // a large buffer would be one long stop of the caller). Room not filled is never
    // touched and costs nothing; rows longer than this on average make it grow in place.
    constexpr size_t kRowBytes = 256;
    const size_t rows = static_cast<size_t>(table.fullRowCount());
    state.rows.reserve(rows, rows * kRowBytes);
    // The pages are touched as rows come in: huge pages make that a few hundred faults
    // instead of tens of thousands. Only a hint.
    adviseLargeBuffer(const_cast<char*>(state.rows.text().data()), rows * kRowBytes);
    for (int shown : table.checkedRows())
        state.checkedRows.push_back(static_cast<uint32_t>(table.fullRowOf(shown)));
    std::sort(state.checkedRows.begin(), state.checkedRows.end());
    state.otherLines = table.otherLines();
    state.linePoints = table.linePoints();
    state.mode = table.displayMode();
    state.source = table.source();
    state.takenAtMs = takenAtMs;
    return state;
}

bool copyRecoveryRows(const PointTable& table, RecoveryState& state, size_t count) {
    const size_t total = static_cast<size_t>(table.fullRowCount());
    const size_t end = std::min(total, state.rows.size() + count);
    std::string row;
    for (size_t r = state.rows.size(); r < end; ++r) {
        row.clear();
        table.fullRowAt(static_cast<int>(r)).appendJoined(row, '\0');
        state.rows.push_back(row);
    }
    return state.rows.size() == total;
}

RecoveryState takeRecoveryState(const PointTable& table, int64_t takenAtMs) {
    RecoveryState state = beginRecoveryState(table, takenAtMs);
    copyRecoveryRows(table, state, static_cast<size_t>(table.fullRowCount()));
    return state;
}

Status writeRecoveryFile(const std::string& path, const RecoveryState& state) {
    std::string head;
    std::string lists;  // source and line points: short, kept with the head
    put32(lists, static_cast<uint32_t>(state.source.size()));
    lists += state.source;
    put32(lists, static_cast<uint32_t>(state.linePoints.size()));
    for (const std::string& name : state.linePoints) {
        put32(lists, static_cast<uint32_t>(name.size()));
        lists += name;
    }
    const uint64_t total = kFixedHead + lists.size() + 16 + 4 * state.otherLines.size() +
                           state.otherLines.text().size() + 8 + 4 * state.rows.size() +
                           state.rows.text().size() + 8 + 4 * state.checkedRows.size() +
                           kChecksumSize;
    head.append(kMagic, 8);
    put32(head, kRecoveryVersion);
    put64(head, total);
    put64(head, static_cast<uint64_t>(state.takenAtMs));
    put32(head, static_cast<uint32_t>(state.mode));
    put64(head, state.rows.size());
    head += lists;
    put64(head, state.otherLines.size());
    put64(head, state.otherLines.text().size());

    return writeFileAtomically(path, [&](const ByteSink& sink) -> Status {
        Output out(sink);
        std::string piece;
        bool ok = out.write(head) && out.writeSizes(state.otherLines) &&
                  out.write(state.otherLines.text());
        put64(piece, state.rows.text().size());
        ok = ok && out.write(piece) && out.writeSizes(state.rows) && out.write(state.rows.text());
        piece.clear();
        put64(piece, state.checkedRows.size());
        for (uint32_t place : state.checkedRows)
            put32(piece, place);
        ok = ok && out.write(piece) && out.finish();
        (void)ok;  // a failed write is the error the writer returns
        return success();
    });
}

Result<RecoveryInfo> readRecoveryInfo(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return Error::io("无法读取恢复副本" + quoted(path) + "。");
    const uint64_t fileSize = static_cast<uint64_t>(file.tellg());
    file.seekg(0);
    std::string head(kFixedHead + 4, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(file.gcount()));
    if (head.size() == kFixedHead + 4) {
        const uint64_t sourceSize = load(head.data() + kFixedHead, 4);
        if (sourceSize <= fileSize) {
            head.resize(kFixedHead + 4 + sourceSize);
            file.read(head.data() + kFixedHead + 4, static_cast<std::streamsize>(sourceSize));
            head.resize(kFixedHead + 4 + static_cast<size_t>(file.gcount()));
        }
    }
    Input in(head);
    return readHead(in, fileSize, nullptr);
}

Result<RecoveryState> readRecoveryFile(const std::string& path) {
    Result<std::string> bytes = readWholeFile(path);
    if (!bytes)
        return bytes.error();
    const std::string_view all = bytes.value();
    RecoveryState state;
    Input in(all);
    Result<RecoveryInfo> info = readHead(in, all.size(), &state.mode);
    if (!info)
        return info.error();
    if (all.size() < kChecksumSize + in.at())
        return Error::data(damaged());
    const std::string_view body = all.substr(0, all.size() - kChecksumSize);
    Checksum sum;
    sum.add(body);
    if (sum.value() != load(all.data() + body.size(), 8))
        return Error::data(damaged());

    state.takenAtMs = info->takenAtMs;
    state.source = std::move(info->source);
    Input rest(body);
    rest.bytes(in.at());
    const uint32_t names = rest.u32();
    for (uint32_t i = 0; i < names && !rest.failed(); ++i)
        state.linePoints.emplace_back(rest.bytes(rest.u32()));
    const uint64_t otherCount = rest.u64();
    const uint64_t otherBytes = rest.u64();
    if (rest.failed() || !rest.lines(otherCount, otherBytes, state.otherLines))
        return Error::data(damaged());
    const uint64_t rowBytes = rest.u64();
    if (rest.failed() || !rest.lines(info->rowCount, rowBytes, state.rows))
        return Error::data(damaged());
    const uint64_t checked = rest.u64();
    if (rest.failed() || checked > info->rowCount || !rest.has(checked * 4))
        return Error::data(damaged());
    std::string_view places = rest.bytes(checked * 4);
    for (uint64_t i = 0; i < checked; ++i) {
        const uint64_t place = load(places.data() + 4 * i, 4);
        if (place >= info->rowCount)
            return Error::data(damaged());
        state.checkedRows.push_back(static_cast<uint32_t>(place));
    }
    if (rest.at() != body.size())
        return Error::data(damaged());
    return state;
}

void restoreRecoveryState(PointTable& table, RecoveryState state) {
    std::vector<Row> rows;
    rows.reserve(state.rows.size());
    {
        // Room for the numbers a recalculation writes, as an import leaves.
        RowArena arena(32);
        std::array<std::string_view, kColumnCount> cells;
        for (std::string_view line : state.rows) {
            size_t at = 0;
            for (int c = 0; c < kColumnCount; ++c) {
                const size_t end = std::min(line.find('\0', at), line.size());
                cells[c] = line.substr(std::min(at, line.size()), end - std::min(at, line.size()));
                at = end + 1;
            }
            rows.push_back(arena.make(cells));
        }
    }
    state.rows.clear();
    table.replaceAll(std::move(rows), std::move(state.otherLines), std::move(state.source));
    table.setLinePoints(std::move(state.linePoints));
    if (state.mode != DisplayMode::AllPoints)
        table.setDisplayMode(state.mode);
    {
        PointTable::Command command(table, "勾选");
        for (uint32_t place : state.checkedRows)
            table.setChecked(table.rowOfFull(static_cast<int>(place)), true);
    }
    // Nothing of the restored table has been exported, and there is no step to undo.
    table.clearHistory();
}

}  // namespace corvane

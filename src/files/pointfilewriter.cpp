#include "pointfilewriter.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "encodedtext.h"
#include "filesystem.h"
#include "largebuffer.h"
#include "parallelparts.h"
#include "pointtable.h"

namespace corvane {
namespace {

// Rows encoded at a time: about a megabyte of text, which stays in the cache until it
// is written. Writing a file from one buffer of its whole size is several times slower
// on some systems, and the buffer alone costs as much memory as the file.
constexpr int kBlockRows = 8192;

bool encodeRows(const PointTable& table, int first, int last, EncodedText& out) {
    for (int r = first; r < last; ++r) {
        if (!out.appendRow(table.rowAt(r), r, ','))
            return false;
        out.endLine();
    }
    return true;
}

// One block of rows on its way from an encoding thread to the sink.
struct Block {
    EncodedText text;
    int number = -1;  // -1 while free
    bool ready = false;
    std::exception_ptr failure;
};

// Hands the rows, one line each, to `sink` a block at a time and in order. A large
// table is encoded on every core (up to four) while this thread writes what is ready;
// the first row that cannot be encoded, in table order, is the error.
Status streamRows(const PointTable& table, const ByteSink& sink) {
    const int rows = table.rowCount();
    const int blocks = (rows + kBlockRows - 1) / kBlockRows;
    const int workers = static_cast<int>(partsFor(static_cast<size_t>(blocks), 4));
    if (workers == 1) {
        EncodedText out;
        for (int b = 0; b < blocks; ++b) {
            out.clear();
            if (!encodeRows(table, b * kBlockRows, std::min(rows, (b + 1) * kBlockRows), out))
                return out.error();
            if (!sink(out.bytes()))
                return Error::io("写入失败。");
        }
        return success();
    }

    // Two blocks a worker: one being encoded while the other waits to be written.
    // Block b always goes to worker b % workers and into place b % places.
    const int places = 2 * workers;
    std::vector<Block> inFlight(static_cast<size_t>(places));
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    auto encode = [&](int worker) {
        for (int b = worker; b < blocks; b += workers) {
            Block& block = inFlight[static_cast<size_t>(b % places)];
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || block.number < 0; });
                if (stop)
                    return;
                block.number = b;
            }
            try {
                block.text.clear();
                encodeRows(table, b * kBlockRows, std::min(rows, (b + 1) * kBlockRows), block.text);
            } catch (...) {
                block.failure = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex);
                block.ready = true;
            }
            changed.notify_all();
        }
    };

    Status result = success();
    std::exception_ptr failure;
    {
        std::vector<std::jthread> threads;
        for (int w = 0; w < workers; ++w)
            threads.emplace_back(encode, w);
        for (int b = 0; b < blocks; ++b) {
            Block& block = inFlight[static_cast<size_t>(b % places)];
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return block.number == b && block.ready; });
            }
            if (block.failure) {
                failure = block.failure;
                break;
            }
            if (!block.text.ok()) {
                result = block.text.error();
                break;
            }
            if (!sink(block.text.bytes())) {
                result = Error::io("写入失败。");
                break;
            }
            {
                const std::lock_guard lock(mutex);
                block.number = -1;
                block.ready = false;
            }
            changed.notify_all();
        }
        {
            const std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
    }
    if (failure)
        std::rethrow_exception(failure);
    return result;
}

constexpr size_t kHeadBlock = size_t{1} << 20;

Status produceEptFile(const PointTable& table, const ByteSink& sink) {
    EncodedText head;
    const TextLines& other = table.otherLines();
    for (size_t i = 0; i < other.size(); ++i) {
        if (!head.append(other[i])) {
            // Not a cell: name the line of the file it will be.
            Error e = head.error();
            e.line = static_cast<int>(i + 1);
            e.message = "第 " + std::to_string(i + 1) + " 行（点以外的内容）中的" + e.message;
            return e;
        }
        head.endLine();
        // Handed on a block at a time: a file of millions of short other lines would
        // otherwise be held whole once more.
        if (head.bytes().size() >= kHeadBlock) {
            if (!sink(head.bytes()))
                return Error::io("写入失败。");
            head.clear();
        }
    }
    if (!sink(head.bytes()))
        return Error::io("写入失败。");
    return streamRows(table, sink);
}

Status produceCsvTable(const PointTable& table, const ByteSink& sink) {
    EncodedText head;
    for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0)
            head.appendChar(',');
        head.append(kColumns[c].header);
    }
    head.endLine();
    if (!sink(head.bytes()))
        return Error::io("写入失败。");
    return streamRows(table, sink);
}

Result<std::string> buildWhole(const PointTable& table,
                               Status (*produce)(const PointTable&, const ByteSink&)) {
    std::string out;
    // Room for the usual rows; pages reserved but never written cost no memory.
    out.reserve(static_cast<size_t>(table.rowCount()) * 192);
    adviseLargeBuffer(out.data(), out.capacity());
    Status produced = produce(table, [&out](std::string_view bytes) {
        out.append(bytes);
        return true;
    });
    if (!produced)
        return produced.error();
    return out;
}

}  // namespace

Result<std::string> buildEptFile(const PointTable& table) {
    return buildWhole(table, produceEptFile);
}

Result<std::string> buildCsvTable(const PointTable& table) {
    return buildWhole(table, produceCsvTable);
}

Status writeEptFile(const PointTable& table, const std::string& path) {
    return writeFileAtomically(
        path, [&table](const ByteSink& sink) { return produceEptFile(table, sink); });
}

Status writeCsvTable(const PointTable& table, const std::string& path) {
    return writeFileAtomically(
        path, [&table](const ByteSink& sink) { return produceCsvTable(table, sink); });
}

}  // namespace corvane

#include "catalogue/SwitchJournal.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/FileSystem.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kloxmere {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "kloxmere switch journal 1";
constexpr std::string_view kPrefix = "switch-";
constexpr std::string_view kSuffix = ".journal";
// Every record ends in this field, so that a record is whole or ignored.
constexpr std::string_view kLineEnd = "$";
constexpr const char* kEnd = "\t$\n";

// Fields are separated by tabs and lines end in LF, so both (and the escape
// itself) are escaped inside a field.
std::string escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return parts;
        start = tab + 1;
    }
}

std::optional<std::uint64_t> number(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

const char* outcomeWord(RenameOutcome outcome) {
    switch (outcome) {
        case RenameOutcome::Done:
            return "done";
        case RenameOutcome::Already:
            return "already";
        case RenameOutcome::Refused:
            return "refused";
        case RenameOutcome::Pending:
            break;
    }
    return "pending";
}

std::optional<RenameOutcome> outcomeFrom(std::string_view word) {
    if (word == "done") return RenameOutcome::Done;
    if (word == "already") return RenameOutcome::Already;
    if (word == "refused") return RenameOutcome::Refused;
    return std::nullopt;
}

std::string fileName(std::uint64_t id) {
    std::string digits = std::to_string(id);
    if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
    return std::string(kPrefix) + digits + std::string(kSuffix);
}

std::string utcNow() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &now);
#else
    gmtime_r(&now, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::FILE* openForAppend(const std::string& file) {
#ifdef _WIN32
    return _wfopen(PathFromUtf8(file).c_str(), L"ab");
#else
    return std::fopen(file.c_str(), "ab");
#endif
}

// Hands what the stream holds to the system and, with `device`, on to the disk.
bool flushStream(std::FILE* stream, bool device) {
    if (std::fflush(stream) != 0) return false;
    if (!device) return true;
#ifdef _WIN32
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)))) != 0;
#else
    return ::fsync(fileno(stream)) == 0;
#endif
}

// A new name in a directory lasts a power cut only once the directory is on
// the disk too; Windows has no such step.
void syncDirectory([[maybe_unused]] const std::string& directory) {
#ifndef _WIN32
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#endif
}

std::string batchLine(const JournalBatch& batch) {
    return "batch\t" + std::to_string(batch.id) + "\t" + escape(batch.time) + "\t" +
           std::to_string(batch.undoes) + "\t" + escape(batch.command) + kEnd;
}

}  // namespace

std::string JournalDirectory(const std::string& userDataDirectory) {
    std::string directory = userDataDirectory;
    if (!directory.empty() && !IsSeparator(directory.back())) directory += NativeSeparator();
    return directory + "switches" + NativeSeparator();
}

std::optional<JournalBatch> ParseJournalBatch(std::string_view bytes) {
    std::optional<JournalBatch> batch;
    bool first = true;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) break;  // cut short: not a whole line
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end + 1);
        if (first) {
            if (line != kMagic) return std::nullopt;
            first = false;
            continue;
        }
        std::vector<std::string_view> f = fields(line);
        // A line cut short and completed by a later append lacks its mark.
        if (f.size() < 2 || f.back() != kLineEnd) continue;
        f.pop_back();
        if (f[0] == "batch" && f.size() == 5 && !batch) {
            auto id = number(f[1]), undoes = number(f[3]);
            if (!id || !undoes) return std::nullopt;
            batch.emplace();
            batch->id = *id;
            batch->time = unescape(f[2]);
            batch->undoes = *undoes;
            batch->command = unescape(f[4]);
        } else if (!batch) {
            return std::nullopt;
        } else if (f[0] == "rename" && f.size() == 3) {
            batch->renames.push_back({unescape(f[1]), unescape(f[2]), {}, {}, {}, {}});
        } else if ((f[0] == "outcome" || f[0] == "reversed") && f.size() == 4) {
            auto index = number(f[1]);
            auto outcome = outcomeFrom(f[2]);
            if (!index || !outcome || *index >= batch->renames.size()) continue;
            JournalRename& rename = batch->renames[*index];
            (f[0] == "outcome" ? rename.outcome : rename.reversal) = *outcome;
            (f[0] == "outcome" ? rename.reason : rename.reversalReason) = unescape(f[3]);
        } else if (f[0] == "end" && f.size() == 2) {
            batch->ended = true;
            batch->rolledBack = f[1] == "undone";
        }
    }
    return batch;
}

std::vector<JournalBatch> ReadJournal(const std::string& userDataDirectory) {
    std::vector<JournalBatch> batches;
    std::string directory = JournalDirectory(userDataDirectory);
    std::error_code error;
    fs::directory_iterator it(PathFromUtf8(directory), error), end;
    for (; !error && it != end; it.increment(error)) {
        std::string name = Utf8FromPath(it->path().filename());
        if (name.rfind(kPrefix, 0) != 0 || name.size() <= kSuffix.size() ||
            name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) {
            continue;
        }
        std::vector<std::uint8_t> bytes;
        try {
            bytes = ReadFileBytes(it->path());
        } catch (const FileError&) {
            continue;  // gone meanwhile, or unreadable: not a batch we can act on
        }
        auto batch = ParseJournalBatch(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        if (!batch) continue;
        batch->file = directory + name;
        batches.push_back(std::move(*batch));
    }
    std::sort(batches.begin(), batches.end(),
              [](const JournalBatch& a, const JournalBatch& b) { return a.id < b.id; });
    return batches;
}

BatchState StateOf(const JournalBatch& batch, const std::vector<JournalBatch>& all) {
    if (!batch.ended) return BatchState::Interrupted;
    if (batch.rolledBack) return BatchState::Undone;
    for (const JournalBatch& other : all) {
        if (other.undoes == batch.id && other.ended && !other.rolledBack) {
            return BatchState::Undone;
        }
    }
    return BatchState::Complete;
}

JournalWriter JournalWriter::Begin(const std::string& userDataDirectory, JournalBatch& batch) {
    std::string directory = JournalDirectory(userDataDirectory);
    std::error_code error;
    fs::create_directories(PathFromUtf8(directory), error);
    std::vector<JournalBatch> existing = ReadJournal(userDataDirectory);
    batch.id = existing.empty() ? 1 : existing.back().id + 1;
    if (batch.time.empty()) batch.time = utcNow();

    std::string content = std::string(kMagic) + "\n" + batchLine(batch);
    for (const JournalRename& rename : batch.renames) {
        content += "rename\t" + escape(rename.from) + "\t" + escape(rename.to) + kEnd;
    }
    // Written beside its name and renamed into place once on the disk: a batch
    // file is never seen without its whole plan.
    std::string file = directory + fileName(batch.id);
    std::string temporary = file + ".tmp";
    std::FILE* stream = nullptr;
#ifdef _WIN32
    stream = _wfopen(PathFromUtf8(temporary).c_str(), L"wb");
#else
    stream = std::fopen(temporary.c_str(), "wb");
#endif
    bool written =
        stream && std::fwrite(content.data(), 1, content.size(), stream) == content.size();
    written = stream && flushStream(stream, true) && written;
    if (stream) std::fclose(stream);
    std::string reason;
    if (!written || !RenameNoReplace(PathFromUtf8(temporary), PathFromUtf8(file), &reason)) {
        fs::remove(PathFromUtf8(temporary), error);
        throw FileError("Cannot write the switch journal " + file +
                        (reason.empty() ? std::string() : ": " + reason));
    }
    syncDirectory(directory);
    batch.file = file;

    // The oldest finished batches make room; an unfinished one is kept until
    // it is recovered, whatever its age.
    std::size_t count = existing.size() + 1;
    for (const JournalBatch& old : existing) {
        if (count <= kJournalBatchLimit) break;
        if (!old.ended) continue;
        if (fs::remove(PathFromUtf8(old.file), error)) --count;
    }
    return JournalWriter(file);
}

JournalWriter::JournalWriter(std::string file) : m_file(std::move(file)) {
    m_stream = openForAppend(m_file);
    if (!m_stream) throw FileError("Cannot write the switch journal " + m_file);
    // A file cut short mid-record gets its line ended first, so that the
    // next record is not joined to the broken one.
    std::error_code error;
    auto size = std::filesystem::file_size(PathFromUtf8(m_file), error);
    if (!error && size > 0) {
        std::vector<std::uint8_t> bytes = ReadFileBytes(PathFromUtf8(m_file));
        if (bytes.back() != '\n') append("\n", false);
    }
}

JournalWriter::JournalWriter(JournalWriter&& other) noexcept
    : m_file(std::move(other.m_file)), m_stream(std::exchange(other.m_stream, nullptr)) {}

JournalWriter::~JournalWriter() {
    if (m_stream) std::fclose(m_stream);
}

void JournalWriter::append(const std::string& line, bool sync) {
    if (std::fwrite(line.data(), 1, line.size(), m_stream) != line.size() ||
        !flushStream(m_stream, sync)) {
        throw FileError("Cannot write the switch journal " + m_file);
    }
}

// Each outcome reaches the system at once, so that a killed process leaves
// it behind; the device flush waits for the end, since the disk itself says
// which renames happened should a power cut lose the last outcomes.
void JournalWriter::Outcome(std::size_t index, RenameOutcome outcome, const std::string& reason) {
    append("outcome\t" + std::to_string(index) + "\t" + outcomeWord(outcome) + "\t" +
               escape(reason) + kEnd,
           false);
}

void JournalWriter::Reversed(std::size_t index, RenameOutcome outcome, const std::string& reason) {
    append("reversed\t" + std::to_string(index) + "\t" + outcomeWord(outcome) + "\t" +
               escape(reason) + kEnd,
           false);
}

void JournalWriter::End(bool rolledBack) {
    append(std::string("end\t") + (rolledBack ? "undone" : "complete") + kEnd, true);
}

}  // namespace kloxmere

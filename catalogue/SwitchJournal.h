#pragma once

// The record of every batch of archive renames, kept in the user data
// directory (its "switches" folder, one file per batch) so that a batch
// stopped half-way by a crash or a killed process can be finished or undone,
// and a finished one undone. A batch's file is created complete with its plan
// before the first rename; each outcome is appended as it happens and the end
// is marked last. A file cut short at any byte still reads: a line without
// its end is left out, and what was done is read from the disk anyway.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kloxmere {

enum class RenameOutcome {
    Pending,  // not yet tried (or the process ended before saying)
    Done,     // renamed by the batch
    Already,  // the archive already had the wanted name; nothing was renamed
    Refused,  // the archive kept its name; `reason` says why
};

struct JournalRename {
    std::string from;
    std::string to;
    RenameOutcome outcome = RenameOutcome::Pending;
    std::string reason;
    // When the batch was rolled back: how reversing this rename went.
    RenameOutcome reversal = RenameOutcome::Pending;
    std::string reversalReason;
};

enum class BatchState { Complete, Interrupted, Undone };

struct JournalBatch {
    std::uint64_t id = 0;
    std::string time;          // UTC, 2026-12-09T21:05:40Z
    std::string command;       // "Disable Group Arm"
    std::uint64_t undoes = 0;  // the batch this one undoes; 0 for none
    std::vector<JournalRename> renames;
    bool ended = false;       // the batch ran to its end (or was finished)
    bool rolledBack = false;  // ...by reversing what it had done
    std::string file;         // the journal file (UTF-8 path)
};

// How many batches the journal keeps; older ones are dropped.
inline constexpr std::size_t kJournalBatchLimit = 100;

// The journal folder of a user data directory (which ends in a separator).
std::string JournalDirectory(const std::string& userDataDirectory);

// Reads one batch's bytes. A damaged or truncated file gives what its whole
// lines say; nullopt when not even the batch's heading is there.
std::optional<JournalBatch> ParseJournalBatch(std::string_view bytes);

// Every batch of the journal, oldest first.
std::vector<JournalBatch> ReadJournal(const std::string& userDataDirectory);

// The state each batch has, given all of them (an undo that ended normally
// makes its batch undone).
BatchState StateOf(const JournalBatch& batch, const std::vector<JournalBatch>& all);

// Writing one batch's file. All writes go to the disk before returning
// (flushed to the device for the plan and the end); throws FileError.
class JournalWriter {
  public:
    // Creates the batch's file, with its plan, under the next free number and
    // drops the oldest batches beyond the limit (never an unfinished one).
    static JournalWriter Begin(const std::string& userDataDirectory, JournalBatch& batch);
    // Continues an existing batch's file.
    explicit JournalWriter(std::string file);

    JournalWriter(JournalWriter&&) noexcept;
    JournalWriter& operator=(JournalWriter&&) = delete;
    ~JournalWriter();

    void Outcome(std::size_t index, RenameOutcome outcome, const std::string& reason);
    void Reversed(std::size_t index, RenameOutcome outcome, const std::string& reason);
    void End(bool rolledBack);

  private:
    void append(const std::string& line, bool sync);

    std::string m_file;
    std::FILE* m_stream = nullptr;
};

}  // namespace kloxmere

#include "core/session/reference_data.h"

#include "core/base/program_constants.h"
#include "core/base/rewrite_together.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_update_messages.h"

namespace dxcc {

ReferenceData::ReferenceData(DataFolder& folder)
    : folder_(folder), prefixes_(folder.dir() / std::string(kPrefixFileName)) {}

const EntityData& ReferenceData::entityData() {
    if (!entityData_)
        entityData_ = EntityData::load(folder_.dir() / std::string(kEntityDataFileName));
    return *entityData_;
}

void ReferenceData::reread() {
    prefixes_.refresh();
    entityData_.reset();
}

namespace {

// Writes what the editor's save changes: one file by the safe rewrite, or
// both, all or none.
void writeEditorFiles(const PrefixEditor& editor, const PrefixEditor::SavePlan& plan,
                      DataFolder& folder) {
    const std::string prefixes = plan.prefixesChanged ? plan.list.fileBytes() : std::string();
    const std::string exact = plan.exactCallsChanged ? plan.exactList.fileBytes() : std::string();
    if (plan.prefixesChanged && plan.exactCallsChanged) {
        rewriteTogether({{editor.file(), folder.dir() / kTogetherScratchNames[0], prefixes},
                         {editor.exactCallFile(), folder.dir() / kTogetherScratchNames[1], exact}},
                        folder.journal(), folder.dir() / kRewriteScratchName);
    } else if (plan.exactCallsChanged) {
        rewriteFile(editor.exactCallFile(),
                    editor.exactCallFile().parent_path() / kPrefixScratchName, exact);
    } else if (plan.prefixesChanged) {
        rewriteFile(editor.file(), editor.file().parent_path() / kPrefixScratchName, prefixes);
    }
}

}  // namespace

PrefixSaveOutcome ReferenceData::savePrefixEntry(PrefixEditor& editor, const PrefixFields& fields) {
    PrefixSaveOutcome outcome;
    if (!folder_.holdFor(outcome)) return outcome;
    PrefixEditor::SavePlan plan = editor.planSave(fields);
    if (plan.refusal) {
        outcome.result = std::move(plan.refusal);
        return outcome;
    }
    try {
        writeEditorFiles(editor, plan, folder_);
    } catch (const UnfinishedRewrite& e) {
        // Both new files are on disk (the next start puts any still waiting
        // in place): the editor takes the new lists; a rename that failed is
        // told.
        editor.saved(std::move(plan));
        prefixes_.refresh();
        outcome.result = PrefixSaveResult{};
        if (!e.pending().empty()) {
            outcome.result->status = PrefixSaveResult::Status::WriteFailed;
            outcome.result->error = e;
        }
        return outcome;
    } catch (const FileError& e) {
        // The files are unchanged, and so is the editor.
        outcome.result =
            PrefixSaveResult{PrefixSaveResult::Status::WriteFailed, std::nullopt, e, {}};
        return outcome;
    }
    editor.saved(std::move(plan));
    prefixes_.refresh();
    outcome.result = PrefixSaveResult{};
    return outcome;
}

namespace {

// A data file's bytes; nothing when it does not exist.
std::optional<std::string> dataFileBytes(const std::filesystem::path& file) {
    try {
        return readFileBytes(file, kPrefixFileLimits);
    } catch (const FileError& e) {
        if (e.code() == kFileNotFound) return std::nullopt;
        throw;
    }
}

// One file of an update: where it is and what it holds now.
struct UpdatedFile {
    std::filesystem::path path;
    std::optional<std::string> old;
};

// The five files of an update, as they are before it.
struct UpdateFiles {
    UpdatedFile prefixes;
    UpdatedFile base;
    UpdatedFile exactCalls;
    UpdatedFile exactBase;
    UpdatedFile entities;

    explicit UpdateFiles(const std::filesystem::path& dir)
        : prefixes{dir / std::string(kPrefixFileName), {}},
          base{dir / std::string(kPrefixBaseFileName), {}},
          exactCalls{dir / std::string(kExactCallFileName), {}},
          exactBase{dir / std::string(kExactCallBaseFileName), {}},
          entities{dir / std::string(kEntityDataFileName), {}} {
        for (UpdatedFile* f : {&prefixes, &base, &exactCalls, &exactBase, &entities})
            f->old = dataFileBytes(f->path);
    }

    // The files whose content changes with `plan`, each with a scratch file of its own.
    std::vector<FileReplacement> replacements(const PrefixUpdatePlan& plan,
                                              const std::filesystem::path& dir) const {
        std::vector<FileReplacement> changed;
        const std::pair<const UpdatedFile*, const std::string*> files[] = {
            {&prefixes, &plan.prefixFile},
            {&base, &plan.baseFile},
            {&exactCalls, &plan.exactFile},
            {&exactBase, &plan.exactBaseFile},
            {&entities, &plan.entityFile}};
        for (const auto& [file, content] : files)
            if (file->old != *content)
                changed.push_back(
                    {file->path, dir / kTogetherScratchNames.at(changed.size()), *content});
        return changed;
    }
};

// What a file without its base copy started from: the shipped file when the
// folder knows it, else the file itself (all its lines taken as built).
std::string_view baseOrStart(const UpdatedFile& base, std::optional<std::string_view> shipped,
                             const UpdatedFile& file) {
    if (base.old) return *base.old;
    if (shipped) return *shipped;
    return file.old ? std::string_view(*file.old) : std::string_view();
}

}  // namespace

bool ReferenceData::planAndWrite(const std::filesystem::path& ctyDat, std::string_view shippedBase,
                                 const std::function<bool(const PrefixUpdatePlan&)>& confirm,
                                 PrefixUpdateOutcome& outcome) {
    const UpdateFiles files(folder_.dir());
    const ReferenceFiles current{
        files.prefixes.old ? std::string_view(*files.prefixes.old) : std::string_view(),
        files.base.old ? std::string_view(*files.base.old) : shippedBase,
        files.exactCalls.old ? std::string_view(*files.exactCalls.old) : std::string_view(),
        baseOrStart(files.exactBase, folder_.shippedFile(kExactCallFileName), files.exactCalls),
        files.entities.old ? std::string_view(*files.entities.old) : std::string_view()};
    outcome.plan = planPrefixUpdate(ctyDat, current, prefixes_.table());
    if (outcome.plan->changesNothing) {
        outcome.messages.emplace_back(prefix_update_messages::kNothingChanged);
        return false;
    }
    if (confirm && !confirm(*outcome.plan)) {
        outcome.cancelled = true;
        return false;
    }
    // Each file and its base go together: the next update tells the
    // operator's lines by them; the exact calls and the entity data name the
    // entities of the prefix file.
    rewriteTogether(files.replacements(*outcome.plan, folder_.dir()), folder_.journal(),
                    folder_.dir() / kRewriteScratchName);
    outcome.saved = true;
    return true;
}

PrefixUpdateOutcome ReferenceData::updatePrefixes(
    const std::filesystem::path& ctyDat, std::string_view shippedBase,
    const std::function<bool(const PrefixUpdatePlan&)>& confirm) {
    namespace msg = prefix_update_messages;
    PrefixUpdateOutcome outcome;
    if (!folder_.holdFor(outcome)) return outcome;
    // An update a stopped run left is finished first: this one starts from it.
    const FolderOutcome opened = folder_.open({});
    reread();
    outcome.messages = opened.messages;
    if (opened.fileError) {
        outcome.failedOn(*opened.fileError);
        return outcome;
    }
    try {
        if (!planAndWrite(ctyDat, shippedBase, confirm, outcome)) return outcome;
    } catch (const CountryFileError& e) {
        outcome.refused(e.what());
    } catch (const UnfinishedRewrite& e) {
        // Only the journal is left: the next start removes it.
        outcome.saved = e.pending().empty();
        if (!outcome.saved) {
            outcome.failedOn(e);
            outcome.messages.push_back(std::string(msg::kUnfinished) + joinedNames(e.replaced()) +
                                       std::string(msg::kUnfinishedPending) +
                                       joinedNames(e.pending()) + ".");
        }
    } catch (const FileError& e) {
        outcome.failedOn(e);
        outcome.messages.emplace_back(msg::kNotSaved);
    }
    // Whatever happened, the lookups and the entity data read what the files hold.
    reread();
    return outcome;
}

}  // namespace dxcc

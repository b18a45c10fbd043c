#include "attempts/AttemptRecorder.h"

AttemptRecorder::AttemptRecorder(std::string path) : path_(std::move(path))
{
}

AttemptRecorder::~AttemptRecorder() = default;

void AttemptRecorder::setPath(const std::string& path)
{
    if (path == path_)
        return;
    stop();
    pending_.reset();
    store_.reset();
    database_.reset();
    openTried_ = false;
    unwritable_ = false;
    path_ = path;
}

bool AttemptRecorder::ensureOpen()
{
    if (store_)
        return true;
    if (openTried_ || path_.empty())
        return false;
    openTried_ = true;
    auto database = std::make_unique<Database>(DbKind::Sqlite);
    if (!database->open(AttemptStore::fileOptions(path_))) {
        openError_ = database->lastErrorText();
        return false;
    }
    auto store = std::make_unique<AttemptStore>(*database);
    if (!store->prepare()) {
        openError_ = store->lastErrorText();
        return false;
    }
    database_ = std::move(database);
    store_ = std::move(store);
    return true;
}

AttemptStore* AttemptRecorder::store()
{
    return ensureOpen() ? store_.get() : nullptr;
}

std::optional<AttemptSummary> AttemptRecorder::inProgress(const std::string& candidateId)
{
    if (!ensureOpen())
        return std::nullopt;
    return store_->findInProgress(candidateId);
}

std::optional<StoredAttempt> AttemptRecorder::load(std::int64_t attempt)
{
    if (!ensureOpen())
        return std::nullopt;
    return store_->load(attempt);
}

void AttemptRecorder::abandon(std::int64_t attempt)
{
    if (!unwritable_ && ensureOpen() && store_->recordAbandoned(attempt, AttemptStore::now()))
        committed();
}

bool AttemptRecorder::checkWritable()
{
    if (unwritable_ || !ensureOpen())
        return false;
    if (store_->writable())
        return true;
    failed(store_->lastErrorText());
    return false;
}

void AttemptRecorder::begin(const AttemptStart& start)
{
    stop();
    if (path_.empty() || unwritable_)
        return;
    if (!ensureOpen()) {
        failed(openError_);
        return;
    }
    attempt_ = store_->begin(start);
    if (attempt_ == 0) {
        failed(store_->lastErrorText());
        return;
    }
    entries_ = start.entries;
    currentQuestion_ = start.currentQuestion;
    secondsLeft_ = start.secondsLeft;
    seatNumber_ = start.seatNumber;
    committed();
}

void AttemptRecorder::resume(const StoredAttempt& attempt)
{
    stop();
    if (unwritable_ || !ensureOpen())
        return;
    attempt_ = attempt.summary.id;
    entries_ = attempt.entries;
    currentQuestion_ = attempt.summary.currentQuestion;
    secondsLeft_ = attempt.summary.secondsLeft;
    seatNumber_ = attempt.summary.seatNumber;
}

void AttemptRecorder::stop()
{
    attempt_ = 0;
    entries_.clear();
}

AttemptEntry* AttemptRecorder::cached(int number)
{
    for (AttemptEntry& entry : entries_) {
        if (entry.number == number)
            return &entry;
    }
    return nullptr;
}

void AttemptRecorder::failed(const std::string& reason)
{
    if (attempt_ != 0 && store_->recordAbandoned(attempt_, AttemptStore::now()))
        committed();
    stop();
    unwritable_ = true;
    if (onFailure)
        onFailure(reason);
}

void AttemptRecorder::committed()
{
    if (onCommitted)
        onCommitted();
}

void AttemptRecorder::answer(int number, const std::string& letter)
{
    AttemptEntry* entry = cached(number);
    if (!recording() || entry == nullptr)
        return;
    const std::string at = AttemptStore::now();
    if (!store_->recordAnswer(attempt_, number, letter, at))
        return failed(store_->lastErrorText());
    entry->chosen = letter;
    entry->chosenAt = at;
    committed();
}

void AttemptRecorder::syncEntry(const AttemptEntry& entry)
{
    AttemptEntry* stored = cached(entry.number);
    if (!recording() || stored == nullptr || (stored->sameQuestionTexts(entry) && stored->flagged == entry.flagged))
        return;
    AttemptEntry updated = *stored;
    updated.questionKey = entry.questionKey;
    updated.title = entry.title;
    updated.options = entry.options;
    updated.answer = entry.answer;
    updated.optionCount = entry.optionCount;
    updated.flagged = entry.flagged;
    if (!store_->recordEntry(attempt_, updated))
        return failed(store_->lastErrorText());
    *stored = std::move(updated);
    committed();
}

void AttemptRecorder::currentQuestion(int number)
{
    if (!recording() || number == currentQuestion_)
        return;
    if (!store_->recordCurrentQuestion(attempt_, number))
        return failed(store_->lastErrorText());
    currentQuestion_ = number;
    committed();
}

void AttemptRecorder::seatNumber(const std::string& seat)
{
    if (!recording() || seat == seatNumber_)
        return;
    if (!store_->recordSeatNumber(attempt_, seat))
        return failed(store_->lastErrorText());
    seatNumber_ = seat;
    committed();
}

void AttemptRecorder::secondsLeft(int seconds)
{
    if (!recording() || seconds == secondsLeft_)
        return;
    if (!store_->recordSecondsLeft(attempt_, seconds))
        return failed(store_->lastErrorText());
    secondsLeft_ = seconds;
    committed();
}

void AttemptRecorder::handIn(int score, int secondsLeft, std::optional<PaperResult> result)
{
    if (!recording())
        return;
    if (!(result ? store_->recordHandIn(attempt_, score, secondsLeft, AttemptStore::now(), result->pointsTenths,
                                        result->passed)
                 : store_->recordHandIn(attempt_, score, secondsLeft, AttemptStore::now())))
        return failed(store_->lastErrorText());
    stop();
    committed();
}

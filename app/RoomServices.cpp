#include "app/RoomServices.h"

#include "attempts/AttemptRecorder.h"
#include "db/Database.h"
#include "room/ResultsOutbox.h"
#include "room/RoomServer.h"

RoomServices::RoomServices() = default;

RoomServices::RoomServices(RoomConfig config) : config_(std::move(config))
{
}

RoomServices::~RoomServices()
{
    // The sender goes first; the record outlives it.
    if (recorder_ != nullptr)
        recorder_->onCommitted = nullptr;
    outbox_.reset();
}

void RoomServices::readProfile(const std::string& profilePath)
{
    config_ = RoomConfig::read(profilePath);
    serverResults_.reset();
}

bool RoomServices::openBank(std::string& problem)
{
    return RoomServer::openBank(config_, problem);
}

void RoomServices::startSending(const std::string& resultsPath, AttemptRecorder* recorder)
{
    outbox_ = std::make_unique<ResultsOutbox>(resultsPath, config_);
    if (!outbox_->prepare())
        return;
    outbox_->start();
    // Each change is on its way as soon as it is committed, not at the sender's next round.
    if (recorder != nullptr) {
        recorder_ = recorder;
        recorder->onCommitted = [outbox = outbox_.get()] { outbox->poke(); };
    }
}

Database* RoomServices::serverResults()
{
    if (!onServer())
        return nullptr;
    // One connection for the program's life: a lost one comes back with the
    // next statement, one never made is tried again here.
    if (!serverResults_)
        serverResults_ = std::make_unique<Database>(DbKind::Mysql);
    if (serverResults_->isOpen() || ResultsOutbox::openServer(*serverResults_, config_))
        return serverResults_.get();
    return nullptr;
}

#pragma once

#include "db/Database.h"
#include "papers/PaperDefinition.h"
#include "questions/QuestionRecord.h"

#include <cstdint>
#include <string>
#include <vector>

// The questions of a defined paper, drawn from the bank on either backend.
class PaperDraw {
public:
    explicit PaperDraw(Database& bank) : bank_(bank) {}

    // Per rule, that many questions of its category and kind, none twice:
    // listed rule by rule in the paper's order, each rule's in random order
    // (the same for the same seed and bank), their texts cleaned as every
    // draw cleans them. Where rules overlap (a category and a kind from the
    // whole bank) a rule takes only questions the others can spare, so a
    // paper is drawn whenever the bank can serve every rule at once. False,
    // with nothing drawn and the reason in lastErrorText, when the paper does
    // not validate, the bank holds too few for a rule, or cannot be read.
    bool draw(const PaperDefinition& paper, std::uint32_t seed, std::vector<QuestionRecord>& drawn);

    // GBK; "" after a success.
    const std::string& lastErrorText() const { return error_; }

private:
    Database& bank_;
    std::string error_;
};

#pragma once

#include <string>

// Saving an answer report as a PDF from a window: the save dialog, the file
// and the box that says where it went or why it did not.
class ReportPdf {
public:
    // "答卷-<身份证号>-<date>.pdf", with characters a file name cannot hold
    // in the number replaced. date: digits such as 20260103.
    static std::string fileName(const std::string& candidateId, const std::string& date);
    // "20260103" from a time as the attempts record it ("2026-01-03 09:00:00").
    static std::string dateOf(const std::string& time);
    // What the PDF says above the report, which names neither the candidate
    // nor the time: "考试答卷　身份证号：…　座位号：…" and on a second line
    // "交卷时间：…　得分：…". kind: 考试, 错题练习 or a defined paper's name;
    // score as the window shows it (a defined paper's points and result).
    static std::string heading(const std::string& kind, const std::string& candidateId, const std::string& seatNumber,
                               const std::string& handedInAt, const std::string& score);

    // Asks over `window` where to save, starting at suggestedPath, and writes
    // the report (GBK HTML) with the heading above it. False when nothing
    // was written (cancelled or failed; a failure has been told).
    static bool save(const std::string& window, const std::string& html, const std::string& heading,
                     const std::string& suggestedPath);
};

// The costumes of one command (export, gallery) written by several workers at once, with the
// outcome of writing them one by one: the same files, and the same messages and progress
// lines in the same order, stopping where one by one would stop. Each costume's messages are
// kept until every costume before it has been shown; the command's decoding limit is charged
// costume by costume, in order, before a costume writes anything.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/costume_export.h"

// What a command does with one costume once it is loaded (or known not to be): writes its
// files through job, whose report is the costume's own, and puts what it adds to the
// command's page, if any, into `page`.
using CostumeWork = std::function<void(CostumeJob& job, ExportCostume& costume, std::string* page)>;
// Where the costumes' page texts go, in costume order.
using PageSink = std::function<void(const std::string& text)>;

// What one costume may say before it waits for its turn to be shown: its messages beyond
// this many bytes wait in its worker, which then holds its frames until then.
constexpr size_t kHeldMessageBytes = size_t{1} << 20;

// Loads and works each costume of `numbers` (the progress line counts them from the first),
// with at most `jobs` workers, saying everything through job.report. Stops after the costume
// that spends job.budget, which is then spent, or whose folder refused a file, which leaves
// job.report stopped. One worker (or none to be had) is the plain
// loop on this thread. A failure thrown by a worker is thrown here, once the costumes before
// it are shown, about what that worker's report was about.
void WorkCostumes(CostumeJob& job, const std::vector<uint32_t>& numbers, uint32_t jobs,
                  const CostumeWork& work, const PageSink& page);

// The question before a start without Append empties files that already hold
// data: nothing is emptied without the user's word.
#pragma once

#include <string>
#include <vector>

// The files of the list that exist and are not empty.
std::vector<std::string> FilesHoldingData(const std::vector<std::string>& fileNames);

// True when none of the files holds data, or the user answered Yes (No is the
// default button) to emptying those that do.
bool MayEmptyFiles(const std::vector<std::string>& fileNames);

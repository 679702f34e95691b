#pragma once
// A message handler for tests: records each box and answers with a
// chosen button.

#include "support/AppMessages.h"

#include <QStringList>

#include <mutex>

struct MessageCapture : AppMessageHandler {
    struct Box {
        QString message;
        unsigned type;
        QString caption;
    };
    std::shared_ptr<std::vector<Box>> boxes = std::make_shared<std::vector<Box>>();
    std::shared_ptr<std::mutex> lock = std::make_shared<std::mutex>();
    int answer = 1;

    int ShowMessage(const QString& message, unsigned type, const QString& caption) override
    {
        std::lock_guard guard(*lock);
        boxes->push_back({message, type, caption});
        return answer;
    }
};

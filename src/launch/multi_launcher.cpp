// Starting the chosen number of copies of the program on worker threads.
#include "launch/multi_launcher.h"

#include <windows.h>

#include <memory>
#include <utility>

#include "launch/copy_counter.h"
#include "platform/handles.h"
#include "settings/text_to_integer.h"

namespace quorvane {

namespace {

// What the workers of one press share. Each worker holds it through its own shared_ptr, so the last
// worker to end frees it; nothing else keeps it.
struct Press {
    Press(std::string commandLine, std::int32_t count, MultiLauncher::StartFunction start)
        : commandLine(std::move(commandLine)), copies(count), start(start)
    {
    }
    const std::string commandLine;
    CopyCounter copies;
    const MultiLauncher::StartFunction start;
};

DWORD WINAPI launchWorker(LPVOID parameter)
{
    const std::unique_ptr<std::shared_ptr<Press>> press(static_cast<std::shared_ptr<Press>*>(parameter));
    Press& shared = **press;
    while (shared.copies.claim()) {
        // Every copy has the same command line: once the platform refuses one, it refuses the rest.
        if (!shared.start(shared.commandLine, false, static_cast<int>(ShowMode::NormalActive)))
            shared.copies.stop();
    }
    return 0;
}

} // namespace

void MultiLauncher::launch(const LaunchSettings& settings)
{
    const std::int32_t count = textToInteger(settings.countText);
    const int workers = workersForCount(count);
    if (workers == 0) return;

    const auto press = std::make_shared<Press>(settings.programPath, count, start_);
    for (int i = 0; i < workers; ++i) {
        auto parameter = std::make_unique<std::shared_ptr<Press>>(press);
        // A worker that cannot be created leaves its copies to the others through the shared counter.
        const UniqueHandle worker(::CreateThread(nullptr, 0, &launchWorker, parameter.get(), 0, nullptr));
        if (worker) parameter.release(); // the worker owns it now; its handle is closed at once
    }
}

} // namespace quorvane

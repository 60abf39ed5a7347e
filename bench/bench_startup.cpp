// Start-up and memory: the time from starting the game to the splash's first
// frame on screen, and the game's peak resident memory, against a bare Qt
// window built by the same project. Runs alternate between the programs,
// several rounds; a preloaded probe stamps the first frame, so every program
// runs as built. The same bare window showing one line of text is measured
// too: it tells what drawing any text at all costs.

#include "measure.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

using std::chrono::milliseconds;

struct Program
{
    std::vector<std::string> argv;
    milliseconds lifetime; // from its start to its stop
    std::vector<double> firstFrameMs {};
    std::vector<double> peakMb {};
    std::vector<double> earlyPeakMb {}; // peak up to `early` after the start
    std::string window {};
};

// Starts the program, waits for its first frame, lets it run for its lifetime
// from its start and stops it.
void measure(Program &program, const std::string &probe, milliseconds early)
{
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe");
    const auto started = std::chrono::steady_clock::now();
    const std::int64_t startedNs = bench::nowNs();
    const pid_t pid = bench::spawn(program.argv, {"LD_PRELOAD=" + probe, "KORVO_PROBE_FD=" + std::to_string(fds[1])});
    close(fds[1]);

    std::string line;
    pollfd wait {fds[0], POLLIN, 0};
    char buffer[256];
    while (line.find('\n') == std::string::npos && poll(&wait, 1, 10000) > 0) {
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        line.append(buffer, std::size_t(got));
    }
    close(fds[0]);
    std::this_thread::sleep_until(started + early);
    const long earlyKb = bench::peakResidentKb(pid);
    std::this_thread::sleep_until(started + program.lifetime);
    const long peakKb = bench::stopAndReap(pid);
    if (line.empty())
        throw std::runtime_error(program.argv[0] + " painted nothing within 10 s");

    const std::size_t blank = line.find(' ');
    program.firstFrameMs.push_back(bench::toMs(std::stoll(line.substr(0, blank)) - startedNs));
    program.window = line.substr(blank + 1, line.find('\n') - blank - 1);
    program.peakMb.push_back(double(peakKb) / 1024.0);
    program.earlyPeakMb.push_back(double(earlyKb) / 1024.0);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s GAME BARE_WINDOW PROBE [ROUNDS]\n", argv[0]);
        return 2;
    }
    const std::string probe = argv[3];
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 10;
    // The game runs long enough to leave the splash (1.5 s) and open its
    // window: its peak counts both. Its splash alone is looked at just
    // before the game window opens.
    const milliseconds splashOnly(1300);
    Program game {{argv[1]}, milliseconds(3000)};
    Program bare {{argv[2]}, milliseconds(1500)};
    Program text {{argv[2], "Korvo Game"}, milliseconds(1500)};
    Program *programs[] = {&game, &bare, &text};
    const double load = bench::loadAverage();

    try {
        for (Program *program : programs) { // warms the file cache for all
            measure(*program, probe, splashOnly);
            *program = Program {program->argv, program->lifetime};
        }
        for (int round = 0; round < rounds; ++round) {
            // A different order every round, so none always follows another.
            for (int i = 0; i < 3; ++i)
                measure(*programs[(i + round) % 3], probe, splashOnly);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "startup: %s\n", error.what());
        return 1;
    }
    const double frame = bench::median(game.firstFrameMs), bareFrame = bench::median(bare.firstFrameMs);
    const double mb = bench::median(game.peakMb), bareMb = bench::median(bare.peakMb);
    const bool met = frame <= 1.2 * bareFrame && mb <= 1.25 * bareMb;
    std::printf("startup: first frame (%s) median %.1f ms vs bare window %.1f ms (%.2fx); peak RSS median %.1f MB "
                "(splash alone %.1f MB) vs %.1f MB (%.2fx); bare window with one line of text %.1f ms, %.1f MB "
                "(%.2fx); %d rounds alternating | goal <= 1.2x, <= 1.25x: %s (load %.2f)\n",
                game.window.c_str(), frame, bareFrame, frame / bareFrame, mb, bench::median(game.earlyPeakMb), bareMb,
                mb / bareMb, bench::median(text.firstFrameMs), bench::median(text.peakMb),
                bench::median(text.peakMb) / bareMb, rounds, met ? "met" : "MISSED", load);
    return 0;
}

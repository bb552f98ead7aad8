// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for the image tool in tests. It follows a script named by VELBROOK_FAKE_TOOL_SCRIPT, one command a line:
//   record FILE      append its arguments and a listing of the staging folder (argument 4) to FILE
//   out TEXT         write TEXT to standard output in one write (\n and \xHH escapes allowed)
//   err TEXT         the same on standard error
//   sleep MS         pause
//   wait-for FILE    pause until FILE exists (gives up with status 9 after a minute, so a failed test leaves no tool)
//   image BYTES      write an image of BYTES bytes at the output path (argument 3)
//   image-of-staging write, as the image, every staged path and file content
//   part             leave a half-written image under the name a tool without unnamed files uses
//   pid FILE         write its process id to FILE
//   ignore-term      ignore SIGTERM from now on, as a stuck tool would
//   exit CODE        exit with CODE
//   signal NUMBER    kill itself with the signal
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string unescape(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += '\n';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            result += char(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            result += text[i];
        }
    }
    return result;
}

// Sorted, so that two runs over equal trees give equal text.
std::string describeTree(const fs::path& root)
{
    std::set<std::string> lines;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const auto relative = it->path().lexically_relative(root).string();
        if (it->is_symlink())
            lines.insert("link " + relative + " -> " + fs::read_symlink(it->path()).string());
        else if (it->is_directory())
            lines.insert("folder " + relative);
        else {
            std::ifstream in(it->path(), std::ios::binary);
            std::stringstream content;
            content << in.rdbuf();
            lines.insert("file " + relative + " = " + content.str());
        }
    }
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    const char* scriptPath = std::getenv("VELBROOK_FAKE_TOOL_SCRIPT");
    std::ifstream script(scriptPath ? scriptPath : "");
    const std::string output = argc > 3 ? argv[3] : "";
    const std::string staging = argc > 4 ? argv[4] : "";

    std::string line;
    while (std::getline(script, line)) {
        const auto space = line.find(' ');
        const std::string command = line.substr(0, space);
        const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
        if (command == "record") {
            std::ofstream record(argument, std::ios::app);
            record << "argc " << argc - 1 << "\n";
            for (int i = 1; i < argc; ++i)
                record << "arg " << argv[i] << "\n";
            record << describeTree(staging);
        } else if (command == "out" || command == "err") {
            const std::string text = unescape(argument);
            if (::write(command == "out" ? STDOUT_FILENO : STDERR_FILENO, text.data(), text.size()) < 0)
                return 3;
        } else if (command == "sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(argument)));
        } else if (command == "wait-for") {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
            while (!fs::exists(argument)) {
                if (std::chrono::steady_clock::now() > deadline)
                    return 9;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        } else if (command == "image") {
            std::ofstream(output, std::ios::binary).close();
            fs::resize_file(output, std::stoull(argument));
        } else if (command == "part") {
            const fs::path image(output);
            std::ofstream(
                image.parent_path() / ("." + image.filename().string() + "." + std::to_string(::getpid()) + ".part"))
                << "half";
        } else if (command == "image-of-staging") {
            std::ofstream(output, std::ios::binary) << describeTree(staging);
        } else if (command == "pid") {
            std::ofstream(argument) << ::getpid();
        } else if (command == "ignore-term") {
            std::signal(SIGTERM, SIG_IGN);
        } else if (command == "exit") {
            return std::stoi(argument);
        } else if (command == "signal") {
            std::raise(std::stoi(argument));
        }
    }
    return 0;
}

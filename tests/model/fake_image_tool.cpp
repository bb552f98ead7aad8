// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for the image tool in tests. It follows a script named by VELBROOK_FAKE_TOOL_SCRIPT, one command a line:
//   record FILE      append a line "argc N" and its arguments to FILE, one "arg " line each
//   out TEXT, err TEXT   write TEXT to standard output or error in one write (\n and \xHH escapes allowed)
//   sleep MS         pause
//   wait-for FILE    pause until FILE exists (gives up with status 9 after a minute, so a failed test leaves no tool)
//   image BYTES      write an image of BYTES bytes at the output path (argument 3)
//   image-of-source  write, as the image, each file's path in it and content: those in SOURCE (argument 4), or with
//                    -item, SOURCE itself by its name
//   part             leave what a tool killed while publishing may: its .part and .probe files, an empty claim
//   pid FILE         write its process id to FILE
//   ignore-term      ignore SIGTERM from now on, as a stuck tool would
//   exit CODE, signal NUMBER   end with that status, or by that signal
#include "common/ImageToolContract.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    const char* scriptPath = std::getenv("VELBROOK_FAKE_TOOL_SCRIPT");
    std::ifstream script(scriptPath ? scriptPath : "");
    const fs::path output = argc > 3 ? argv[3] : "";
    const fs::path source = argc > 4 ? argv[4] : "";
    const bool item = std::find(argv, argv + argc, std::string_view("-item")) != argv + argc;
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
        } else if (command == "out" || command == "err") {
            std::string text;
            for (size_t i = 0; i < argument.size(); ++i) {
                if (argument.compare(i, 2, "\\n") == 0)
                    text += '\n', ++i;
                else if (argument.compare(i, 2, "\\x") == 0)
                    text += char(std::stoi(argument.substr(i + 2, 2), nullptr, 16)), i += 3;
                else
                    text += argument[i];
            }
            if (::write(command == "out" ? STDOUT_FILENO : STDERR_FILENO, text.data(), text.size()) < 0)
                return 3;
        } else if (command == "sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(argument)));
        } else if (command == "wait-for") {
            for (int waited = 0; !fs::exists(argument); waited += 10) {
                if (waited > 60000)
                    return 9;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        } else if (command == "image") {
            std::ofstream(output, std::ios::binary).close();
            fs::resize_file(output, std::stoull(argument));
        } else if (command == "image-of-source") {
            // Sorted, so that equal trees give equal images.
            std::set<std::string> files;
            const fs::path root = item ? source.parent_path() : source;
            auto add = [&](const fs::path& path) {
                std::stringstream content;
                content << std::ifstream(path, std::ios::binary).rdbuf();
                files.insert(path.lexically_relative(root).string() + " = " + content.str() + "\n");
            };
            if (fs::is_regular_file(source))
                add(source);
            else
                for (const auto& entry : fs::recursive_directory_iterator(source))
                    if (entry.is_regular_file())
                        add(entry.path());
            std::ofstream image(output, std::ios::binary);
            for (const auto& file : files)
                image << file;
        } else if (command == "part") {
            const std::string stem = imagetool::passingStem(output.filename().string(), ::getpid());
            std::ofstream(output.parent_path() / (stem + std::string(imagetool::partEnding))) << "half";
            std::ofstream(output.parent_path() / (stem + std::string(imagetool::probeEnding))) << "half";
            std::ofstream { output };
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

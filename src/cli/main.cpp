#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "checkcommand.h"
#include "corvaneversion.h"
#include "exitcodes.h"
#include "mergecommand.h"
#include "platform.h"
#include "processcommand.h"
#include "standardoutput.h"
#include "usageerrors.h"

int main(int argc, char** argv) {
    CLI::App app("Corvane 电力线测量数据处理（命令行）", "corvane-cli");
    app.require_subcommand(1);
    // A path such as "/data/a.ept" is a path on every system, never a "/option"; the
    // subcommands inherit this.
    app.allow_windows_style_options(false);
    // The help in the users' language; set before the subcommands, which inherit it.
    app.option_defaults()->group("选项");
    app.set_help_flag("-h,--help", "显示帮助并退出");
    app.set_version_flag("--version", std::string("corvane-cli ") + corvane::kVersion,
                         "显示版本号并退出");
    auto formatter = app.get_formatter();
    for (const auto& [key, label] : {std::pair{"Usage", "用法"},
                                     {"OPTIONS", "选项"},
                                     {"SUBCOMMAND", "子命令"},
                                     {"SUBCOMMANDS", "子命令"},
                                     {"Positionals", "位置参数"},
                                     {"Needs", "需要"}})
        formatter->label(key, label);
    int exitCode = corvane::ExitDone;
    corvane::addProcessCommand(app, exitCode);
    corvane::addMergeCommand(app, exitCode);
    corvane::addCheckCommand(app, exitCode);
    for (CLI::App* command : app.get_subcommands({})) {
        command->group("子命令");
        if (CLI::Option* help = command->get_help_ptr())
            help->group("选项");
    }
    corvane::prepareStandardStreams();
    std::vector<std::string> args = corvane::utf8Arguments(argc, argv);
    std::vector<char*> arguments;
    for (std::string& arg : args)
        arguments.push_back(arg.data());
    try {
        app.parse(static_cast<int>(arguments.size()), arguments.data());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e) == 0 ? corvane::ExitDone : corvane::ExitUsage;
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e) == 0 ? corvane::ExitDone : corvane::ExitUsage;
    } catch (const CLI::CallForVersion& e) {
        app.exit(e);
        return corvane::finishOutput(corvane::ExitDone);
    } catch (const CLI::ParseError& e) {
        std::cerr << "corvane-cli: " << corvane::usageMessage(e)
                  << "\n运行 corvane-cli --help 或 corvane-cli 子命令 --help 查看用法。\n";
        return corvane::ExitUsage;
    } catch (const std::bad_alloc&) {
        // The commands run inside parse(): whatever they did not foresee ends here with a
        // message, never an abort; files are only put in place once whole.
        std::cerr << "corvane-cli: 内存不足，操作未完成。\n";
        return corvane::ExitFileProblem;
    } catch (const std::exception& e) {
        std::cerr << "corvane-cli: 操作因意外的错误而中止（" << e.what() << "）。\n";
        return corvane::ExitFileProblem;
    } catch (...) {
        std::cerr << "corvane-cli: 操作因意外的错误而中止。\n";
        return corvane::ExitFileProblem;
    }
    return exitCode;
}

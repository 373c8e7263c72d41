#include "standardoutput.h"

#include <cstdio>
#include <iostream>

#include "exitcodes.h"

namespace corvane {

int finishOutput(int status) {
    std::cout.flush();
    const bool outFailed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (outFailed)
        std::cerr << "corvane-cli: 无法写出标准输出（磁盘已满或管道已关闭？），输出不完整。\n";
    std::cerr.flush();
    const bool errFailed = !std::cerr || std::fflush(stderr) != 0 || std::ferror(stderr) != 0;
    return outFailed || errFailed ? ExitFileProblem : status;
}

}  // namespace corvane

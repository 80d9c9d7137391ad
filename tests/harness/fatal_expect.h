// EXPECT_FATAL: the statement must end the process through fatal(), with exit
// status -1 (255) and the given message on standard output. The death-test
// child sends its standard output to standard error, where gtest matches it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#define EXPECT_FATAL(statement, message)                                                         \
    EXPECT_EXIT(                                                                                 \
        {                                                                                        \
            std::fflush(stdout);                                                                 \
            dup2(2, 1);                                                                          \
            statement;                                                                           \
        },                                                                                       \
        ::testing::ExitedWithCode(255), message)

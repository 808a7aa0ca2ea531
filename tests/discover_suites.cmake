# Run after a test program is built: lists its suites and writes one CTest test per suite (one
# process runs the whole suite), with the labels its folder gives to suites of that name.
#
# In: PROGRAM (the test program), PREFIX (test names are PREFIX.Suite), OUTPUT (the file CTest
# includes), FOLDER_LABEL (every test's label), SUITE_LABELS ("label=Suite|Suite" entries parted
# by commas), SUITE_SHARDS ("Suite=count" entries parted by commas: a suite run as that many CTest
# tests, GoogleTest shards of it, at most one per case), THREADED_PROGRAM (ON when the program
# holds its folder's threaded suites), HOMES (the folder under which each test gets a home of its
# own), ENVIRONMENT, WORKING_DIRECTORY.

cmake_policy(SET CMP0057 NEW)

execute_process(
    COMMAND "${PROGRAM}" --gtest_list_tests
    WORKING_DIRECTORY "${WORKING_DIRECTORY}"
    OUTPUT_VARIABLE listing
    ERROR_VARIABLE errors
    RESULT_VARIABLE result
    TIMEOUT 120)
if(NOT result EQUAL 0)
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "Cannot list the tests of ${PROGRAM} (${result}):\n${listing}\n${errors}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
string(REPLACE "," ";" SUITE_LABELS "${SUITE_LABELS}")
string(REPLACE "," ";" SUITE_SHARDS "${SUITE_SHARDS}")
# Suite lines start in the first column and end with '.', perhaps followed by a comment
# ("  # TypeParam = ..."); case lines are indented. Each suite with its count of cases.
set(suites "")
foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
        set(suite "${CMAKE_MATCH_1}")
        list(APPEND suites "${suite}")
        set(cases_${suite} 0)
    elseif(line MATCHES "^  [^ #]" AND DEFINED suite)
        math(EXPR cases_${suite} "${cases_${suite}} + 1")
    endif()
endforeach()
set(script "")
foreach(suite IN LISTS suites)
    # A parameterised suite is "Instance/Suite" and a typed one "Suite/0": its bare name labels it.
    string(REGEX REPLACE "^[^/]*/" "" bare "${suite}")
    string(REGEX REPLACE "/[0-9]+$" "" bare "${bare}")
    set(labels "${FOLDER_LABEL}")
    foreach(entry IN LISTS SUITE_LABELS)
        string(REPLACE "=" ";" pair "${entry}")
        list(GET pair 0 label)
        list(GET pair 1 names)
        if(bare MATCHES "^(${names})$")
            list(APPEND labels "${label}")
        endif()
    endforeach()
    # A threaded suite outside its folder's threaded program would never meet ThreadSanitizer.
    if("threaded" IN_LIST labels AND NOT THREADED_PROGRAM)
        file(REMOVE "${OUTPUT}")
        message(FATAL_ERROR "${PREFIX}: suite ${suite} is labelled threaded, but its program is "
                            "not the THREADED program of ${FOLDER_LABEL} (tests/CMakeLists.txt)")
    endif()
    # A suite of many long cases may run as shards side by side: test "<Suite>#<i>/<n>" runs the
    # i-th of n GoogleTest shards (each case in exactly one), with the suite's labels.
    set(shards 1)
    foreach(entry IN LISTS SUITE_SHARDS)
        string(REPLACE "=" ";" pair "${entry}")
        list(GET pair 0 names)
        list(GET pair 1 count)
        if(bare MATCHES "^(${names})$")
            set(shards ${count})
        endif()
    endforeach()
    if(shards GREATER cases_${suite})
        set(shards ${cases_${suite}})
    endif()
    if(shards LESS 1)
        set(shards 1)
    endif()
    math(EXPR last "${shards} - 1")
    foreach(index RANGE ${last})
        set(name "${PREFIX}.${suite}")
        set(sharding "")
        if(shards GREATER 1)
            math(EXPR ordinal "${index} + 1")
            string(APPEND name "#${ordinal}/${shards}")
            set(sharding ";GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index}")
        endif()
        # The settings of the user who runs the tests stay untouched: each test has a home and a
        # settings folder of its own.
        string(REGEX REPLACE "[/#]" "_" home_name "${name}")
        set(home "${HOMES}/${home_name}")
        file(MAKE_DIRECTORY "${home}/.config")
        set(environment "${ENVIRONMENT};HOME=${home};XDG_CONFIG_HOME=${home}/.config${sharding}")
        string(APPEND script
            "add_test([=[${name}]=] [=[${PROGRAM}]=] [=[--gtest_filter=${suite}.*]=])\n"
            "set_tests_properties([=[${name}]=] PROPERTIES\n"
            "    LABELS [=[${labels}]=] ENVIRONMENT [=[${environment}]=]\n"
            "    WORKING_DIRECTORY [=[${WORKING_DIRECTORY}]=])\n")
    endforeach()
endforeach()
file(WRITE "${OUTPUT}" "${script}")

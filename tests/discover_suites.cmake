# Run after a test program is built: lists its suites and writes one CTest test per suite (one
# process runs the whole suite), with the labels its folder gives to suites of that name.
#
# In: PROGRAM (the test program), PREFIX (test names are PREFIX.Suite), OUTPUT (the file CTest
# includes), FOLDER_LABEL (every test's label), SUITE_LABELS ("label=Suite|Suite" entries parted
# by commas), ENVIRONMENT, WORKING_DIRECTORY.

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
set(script "")
foreach(line IN LISTS lines)
    # Suite lines start in the first column and end with '.', perhaps followed by a comment
    # ("  # TypeParam = ..."); case lines are indented.
    if(NOT line MATCHES "^([^ #][^ ]*)\\.( .*)?$")
        continue()
    endif()
    set(suite "${CMAKE_MATCH_1}")
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
    string(APPEND script
        "add_test([=[${PREFIX}.${suite}]=] [=[${PROGRAM}]=] [=[--gtest_filter=${suite}.*]=])\n"
        "set_tests_properties([=[${PREFIX}.${suite}]=] PROPERTIES\n"
        "    LABELS [=[${labels}]=] ENVIRONMENT [=[${ENVIRONMENT}]=]\n"
        "    WORKING_DIRECTORY [=[${WORKING_DIRECTORY}]=])\n")
endforeach()
file(WRITE "${OUTPUT}" "${script}")

# Runs velqmenu as a user would and checks exit codes, output and files.
# -DVELQMENU=program -DEMULATOR=runner (empty natively) -DDATA=fixtures -DWORK=scratch folder

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failures 0)

# Runs velqmenu with the given arguments in WORK; sets rc, out and err, and leaves the
# output in WORK/stdout.txt.
function(velqmenu)
    execute_process(COMMAND ${EMULATOR} "${VELQMENU}" ${ARGN}
        WORKING_DIRECTORY "${WORK}"
        RESULT_VARIABLE result OUTPUT_FILE "${WORK}/stdout.txt" ERROR_VARIABLE error)
    file(READ "${WORK}/stdout.txt" output)
    # The Wine runner is a bash script; where its locale is not installed, bash says so first.
    string(REGEX REPLACE "^bash: warning: setlocale: [^\n]*\n" "" error "${error}")
    set(rc "${result}" PARENT_SCOPE)
    set(out "${output}" PARENT_SCOPE)
    set(err "${error}" PARENT_SCOPE)
endfunction()

macro(fail what)
    message(SEND_ERROR "FAILED: ${what}")
    math(EXPR failures "${failures} + 1")
endmacro()

macro(expect_error expected_rc what)
    if(NOT (rc STREQUAL "${expected_rc}" AND out STREQUAL "" AND err MATCHES "^velqmenu: [^\n]*\n$"))
        fail("${what}: exit ${rc}, stdout [${out}], stderr [${err}]")
    endif()
endmacro()

function(same_files a b result)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${a}" "${b}" RESULT_VARIABLE r)
    if(r EQUAL 0)
        set(${result} TRUE PARENT_SCOPE)
    else()
        set(${result} FALSE PARENT_SCOPE)
    endif()
endfunction()

# Round trip: the sample is written the way dump writes, so pack then dump gives it back
# unchanged, and packing that dump gives the same archive.
file(COPY "${DATA}/sample.json" DESTINATION "${WORK}")
velqmenu(pack sample.json first.bin)
# The runner's skip code: a 32-bit build where wine32 is missing.
if(rc EQUAL 77)
    message("velqmenu not run: ${out}")
    return()
endif()
if(NOT rc EQUAL 0)
    fail("pack sample.json: exit ${rc}, stderr [${err}]")
endif()
velqmenu(dump first.bin)
if(NOT rc EQUAL 0)
    fail("dump first.bin: exit ${rc}, stderr [${err}]")
endif()
file(RENAME "${WORK}/stdout.txt" "${WORK}/dumped.json")
same_files("${DATA}/sample.json" "${WORK}/dumped.json" same)
if(NOT same)
    fail("dump of the packed sample differs from the sample")
endif()
velqmenu(pack dumped.json second.bin)
same_files("${WORK}/first.bin" "${WORK}/second.bin" same)
if(NOT rc EQUAL 0 OR NOT same)
    fail("pack after dump does not reproduce the archive (exit ${rc})")
endif()

# Refused input: exit 1, one line on stderr, the previous target untouched, no leftovers.
file(WRITE "${WORK}/target.bin" "previous contents")
set(bad_json "{\"children\": [")
set(unknown_class "{\"children\": [{\"class\": \"CXMenu\"}]}")
set(wrong_type "{\"children\": [{\"class\": \"CXItem\", \"showCommand\": \"2\"}]}")
foreach(case bad_json unknown_class wrong_type)
    file(WRITE "${WORK}/${case}.json" "${${case}}")
    velqmenu(pack ${case}.json target.bin)
    expect_error(1 "pack ${case}.json")
    file(READ "${WORK}/target.bin" contents)
    if(NOT contents STREQUAL "previous contents")
        fail("target.bin changed by pack ${case}.json")
    endif()
endforeach()
file(GLOB leftovers "${WORK}/.*")
if(leftovers)
    fail("temporary files left: ${leftovers}")
endif()

velqmenu(pack absent.json target.bin)
expect_error(1 "pack of a missing file")
velqmenu(dump "${DATA}/corrupt.bin")
expect_error(1 "dump of a damaged archive")
velqmenu(dump absent.bin)
expect_error(1 "dump of a missing file")

# Salvage: a whole archive is written as it is, with a one-line report; one of which no entry
# can be read is an error that leaves the target alone.
velqmenu(salvage first.bin salvaged.bin)
same_files("${WORK}/first.bin" "${WORK}/salvaged.bin" same)
if(NOT rc EQUAL 0 OR NOT same OR NOT out MATCHES "^the archive is not damaged: [0-9]+ entries written as they are\n$")
    fail("salvage of a whole archive: exit ${rc}, stdout [${out}], stderr [${err}]")
endif()
velqmenu(salvage "${DATA}/corrupt.bin" salvaged.bin)
expect_error(1 "salvage of an archive with nothing readable")
same_files("${WORK}/first.bin" "${WORK}/salvaged.bin" same)
if(NOT same)
    fail("salvaged.bin changed by a failed salvage")
endif()

# Usage errors print the usage and exit 2.
foreach(args "" "dump" "pack;x.json" "convert;x;y" "salvage;x")
    velqmenu(${args})
    if(NOT rc EQUAL 2 OR NOT err MATCHES "^usage: velqmenu")
        fail("arguments [${args}]: exit ${rc}, stderr [${err}]")
    endif()
endforeach()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} check(s) failed")
endif()
message(STATUS "velqmenu: all checks passed")

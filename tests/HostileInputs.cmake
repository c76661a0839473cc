cmake_minimum_required(VERSION 3.20)
# Runs PROGRAM on one hostile input that is too big to keep in the repository or needs the
# environment (a closed stream, a file without read permission), CASE, in WORKDIR, and compares
# standard output, standard error and the exit status with what the case expects, byte for byte.
# GOLDEN is the folder of the golden tests, whose expected outputs some cases share.
#
# Each case sets: input (the text written to the touch file, when the case writes one), command
# (what runs), expectedOut or expectedOutFile, expectedErr, expectedStatus.
#
# With JSON=ON the program runs with --all --json before the file: the exit status and standard
# error must be the ones the case expects, and standard output, instead of the expected output,
# one JSON document with that exit status, parsed by the json module of PYTHON.
set(touch "${WORKDIR}/${CASE}.touch")
set(actualOut "${WORKDIR}/${CASE}.out")
set(actualErr "${WORKDIR}/${CASE}.err")
file(MAKE_DIRECTORY "${WORKDIR}")
file(REMOVE "${touch}")
set(options "")
set(optionText "")
if(JSON)
  set(options --all --json)
  set(optionText "--all --json")
endif()
set(command "${PROGRAM}" ${options} "${touch}")
set(expectedOut "")
set(expectedOutFile "")
set(expectedErr "")
set(expectedStatus 0)
set(emptyTouchOut "8 Stedman Cinques \n 2314567890E\n -----------\n\nTouch does not come round\n\n")

if(CASE STREQUAL "ten-megabyte-title")
  # A single line of 10 MB, a title: printed as it stands on the summary line.
  string(REPEAT "x" 10000000 title)
  set(input "\"${title}\"")
  set(expectedOut "8 Stedman Cinques ${title}\n\n 2314567890E\n -----------\n\n")
  string(APPEND expectedOut "Touch does not come round\n\n")
  set(expectedStatus 1)
elseif(CASE STREQUAL "ten-megabyte-comment")
  # A single line of 10 MB, nearly all of it a comment holding token characters: #7 (14) alone.
  string(REPEAT "#36 [*] 4z " 909091 junk)
  set(input "#7 {${junk}} (14)")
  set(expectedOutFile "${GOLDEN}/extra-arguments.out")
elseif(CASE STREQUAL "ten-megabyte-garbage")
  # A single line of 10 MB of characters that start no token: every one is dropped, with one
  # warning for the run of them.
  string(REPEAT ")" 10000000 input)
  set(expectedOut "${emptyTouchOut}")
  set(expectedErr "${touch}:1:1: warning: `))))))))))))))))))))))))))))))))))))))))` is no token of the touch language: these 10000000 characters are dropped\n")
  set(expectedStatus 1)
elseif(CASE STREQUAL "input-too-large")
  # One byte more than the input may hold, all blanks: refused when that byte is read.
  string(REPEAT " " 16777217 input)
  set(expectedErr "error: Input too large: more than 16777216 bytes\n")
  set(expectedStatus 2)
elseif(CASE STREQUAL "input-too-large-after-end")
  # Bytes after the end token are never read, so they do not count.
  string(REPEAT " " 16777217 blanks)
  set(input "*${blanks}")
  set(expectedOut "${emptyTouchOut}")
  set(expectedStatus 1)
elseif(CASE STREQUAL "endless-input")
  # Input that never ends, NUL bytes without end: it ends at the bound.
  if(NOT EXISTS /dev/zero)
    message("no /dev/zero here: nothing to check")
    return()
  endif()
  set(command "${PROGRAM}" ${options} /dev/zero)
  set(expectedErr "error: Input too large: more than 16777216 bytes\n/dev/zero:1:1: warning: `\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00…` is no token of the touch language: these 16777216 characters are dropped\n")
  set(expectedStatus 2)
elseif(CASE STREQUAL "call-merges")
  # A plain call of the most changes a definition may hold, then 2,300,000 definitions merged with
  # it, 16 MB in all: each merge copies the plain call, so the time grows with the file, not with
  # its square as it did for a plain call of any length.
  string(REPEAT "1." 999 plain)
  string(REPEAT "'b:.1' " 2300000 merges)
  set(input "#7 'p:${plain}1' ${merges}")
  set(expectedOut "8 Stedman Triples \n 2314567\n -------\n\nTouch does not come round\n\n")
  set(expectedStatus 1)
elseif(CASE STREQUAL "printed-bytes-too-long")
  # A two-six block with a caption of a million bytes, printed at each of its 1101 uses (the "4"
  # keeps the top level from being a multi-part): more bytes than the printed touch may hold.
  string(REPEAT "x" 1000000 caption)
  string(REPEAT "A " 1100 uses)
  set(input "#7 -1 A[\"${caption}\" 2] 4 ${uses}")
  set(expectedErr "error: Printed touch too large: more than 1073741824 bytes\n")
  set(expectedStatus 2)
elseif(CASE STREQUAL "printed-empty-lines-too-many")
  # A block with 1000 empty captions, used 34000 times: 34 million lines, each kept at 32 bytes
  # and more, though their text is empty.
  string(REPEAT "\"\" " 1000 captions)
  string(REPEAT "A " 34000 uses)
  set(input "#7 -1 A[${captions} 2] 4 ${uses}")
  set(expectedErr "error: Printed touch too large: more than 1073741824 bytes\n")
  set(expectedStatus 2)
elseif(CASE STREQUAL "unreadable-file")
  # A file without read permission cannot be opened, except by root, who reads it as any other.
  set(input "#7 (14)")
  execute_process(COMMAND id -u OUTPUT_VARIABLE user OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(user STREQUAL "0")
    message("root reads a file without read permission: nothing to check")
    return()
  else()
    set(expectedErr "Failed to open ${touch}\n")
    set(expectedStatus 2)
  endif()
elseif(CASE STREQUAL "standard-input-closed")
  set(command sh -c "exec \"$0\" ${optionText} <&-" "${PROGRAM}")
  set(expectedErr "error: Input could not be read: Bad file descriptor\n")
  set(expectedStatus 2)
elseif(CASE STREQUAL "standard-input-directory")
  set(command sh -c "exec \"$0\" ${optionText} < \"$1\"" "${PROGRAM}" "${WORKDIR}")
  set(expectedErr "error: Input could not be read: Is a directory\n")
  set(expectedStatus 2)
elseif(CASE STREQUAL "standard-output-closed")
  set(input "#7 (14)")
  set(command sh -c "exec \"$0\" ${optionText} \"$1\" >&-" "${PROGRAM}" "${touch}")
  set(expectedErr "error: standard output could not be written\n")
  set(expectedStatus 2)
elseif(CASE STREQUAL "standard-output-full")
  if(NOT EXISTS /dev/full)
    message("no /dev/full here: nothing to check")
    return()
  endif()
  set(input "#7 (14)")
  set(command sh -c "exec \"$0\" ${optionText} \"$1\" > /dev/full" "${PROGRAM}" "${touch}")
  set(expectedErr "error: standard output could not be written\n")
  set(expectedStatus 2)
else()
  message(FATAL_ERROR "no hostile input named ${CASE}")
endif()

if(DEFINED input)
  file(WRITE "${touch}" "${input}")
endif()
if(CASE STREQUAL "unreadable-file")
  file(CHMOD "${touch}" PERMISSIONS OWNER_WRITE)
endif()
execute_process(COMMAND ${command} OUTPUT_FILE "${actualOut}" ERROR_FILE "${actualErr}"
                RESULT_VARIABLE status TIMEOUT 120)
file(REMOVE "${touch}")  # some are large

set(failed FALSE)
if(JSON)
  # Standard output closed or full leaves nothing to read: only the error is checked.
  if(NOT CASE MATCHES "^standard-output-")
    execute_process(COMMAND "${PYTHON}" -c
                            "import json, sys\ndocument = json.load(open(sys.argv[1], encoding='utf-8'))\nsys.exit(0 if document['exitStatus'] == int(sys.argv[2]) else 3)"
                            "${actualOut}" "${status}"
                    RESULT_VARIABLE jsonInvalid ERROR_VARIABLE jsonError)
    if(jsonInvalid)
      file(READ "${actualOut}" head LIMIT 2000)
      message("standard output is not one JSON document with exit status ${status}: ${jsonError}\nit began:\n${head}")
      set(failed TRUE)
    endif()
  endif()
elseif(expectedOutFile)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${actualOut}" "${expectedOutFile}"
                  RESULT_VARIABLE outDiffers)
else()
  file(READ "${actualOut}" out)
  set(outDiffers FALSE)
  if(NOT out STREQUAL expectedOut)
    set(outDiffers TRUE)
  endif()
endif()
if(outDiffers)
  file(SIZE "${actualOut}" size)
  file(READ "${actualOut}" head LIMIT 2000)
  message("standard output (${size} bytes) differs from the expected; it began:\n${head}")
  set(failed TRUE)
endif()
file(READ "${actualErr}" err)
if(NOT err STREQUAL expectedErr)
  message("standard error differs; it was:\n${err}\nexpected:\n${expectedErr}")
  set(failed TRUE)
endif()
if(NOT status STREQUAL expectedStatus)
  message("exit status ${status}, expected ${expectedStatus}")
  set(failed TRUE)
endif()
file(REMOVE "${actualOut}")
if(failed)
  message(FATAL_ERROR "hostile input ${CASE} failed")
endif()

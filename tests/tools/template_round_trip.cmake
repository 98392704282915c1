# cmake -DCOMPILER=zl_template_compiler -DDESCRIPTION=file.toml -DWORK=dir -P template_round_trip.cmake
# Compiles a description, decompiles the template into descriptions on disk, compiles
# those again and fails unless both templates are the same bytes. With -DREADABLE=ON
# every unit must also come back with readable properties, not as a bare blob.
foreach(var COMPILER DESCRIPTION WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "template_round_trip: ${var} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/decompiled")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}${err}")
  endif()
endfunction()

run("${COMPILER}" -o "${WORK}/original.bin" "${DESCRIPTION}")
run("${COMPILER}" --decompile "${WORK}/original.bin" --out "${WORK}/decompiled")
file(GLOB decompiled "${WORK}/decompiled/*.toml")
list(SORT decompiled)
list(LENGTH decompiled count)
if(count EQUAL 0)
  message(FATAL_ERROR "the decompiler wrote no description")
endif()
if(READABLE)
  foreach(file IN LISTS decompiled)
    file(STRINGS "${file}" bare REGEX "^blob_hex")
    if(bare)
      message(FATAL_ERROR "${file}: a unit came back as a bare blob, not as readable properties")
    endif()
  endforeach()
endif()
run("${COMPILER}" -o "${WORK}/rebuilt.bin" ${decompiled})
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/original.bin" "${WORK}/rebuilt.bin"
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "the decompiled descriptions of ${DESCRIPTION} build other bytes "
                      "(${WORK}/original.bin, ${WORK}/rebuilt.bin)")
endif()
message(STATUS "${DESCRIPTION}: ${count} description(s) rebuild the template byte for byte")

# Embeds files into the executable's read-only data as C++ arrays, so the
# program needs nothing beside it. Each file becomes
#   extern const unsigned char embedded_<name>[];  (a zero byte appended)
#   extern const uint64_t embedded_<name>_size;     (without that zero)
# with <name> the file name, '.' and '-' turned into '_'.
set(LUMENFOLD_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_file.cmake)

function(lumenfold_embed target)
  foreach(input ${ARGN})
    get_filename_component(file_name ${input} NAME)
    string(REGEX REPLACE "[.-]" "_" symbol "embedded_${file_name}")
    set(output ${CMAKE_BINARY_DIR}/embedded/${symbol}.cpp)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol} -P ${LUMENFOLD_EMBED_SCRIPT}
      DEPENDS ${input} ${LUMENFOLD_EMBED_SCRIPT}
      COMMENT "Embedding ${file_name}"
      VERBATIM)
    target_sources(${target} PRIVATE ${output})
  endforeach()
endfunction()

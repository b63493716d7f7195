# Narrow literals of our own code are compiled to code page 932, so record
# defaults such as "ＭＳ 明朝" are already the bytes the registry and the seal
# files hold. Third-party code (GoogleTest) keeps the default charset: some
# standard headers hold characters code page 932 lacks (<chrono>'s "µs").
# clang knows no execution charset but UTF-8: the fuzz build (VARNEL_FUZZ)
# leaves literals as UTF-8 bytes, which changes texts but not memory safety.
function(varnel_cp932 target)
  if(VARNEL_FUZZ)
    return()
  endif()
  target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
endfunction()

function(varnel_add_resources target)
  target_sources(${target} PRIVATE ${VARNEL_RC})
  set_source_files_properties(${VARNEL_RC} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${VARNEL_RC_INPUTS}")
  target_include_directories(${target} PRIVATE ${VARNEL_RES_DIR} ${VARNEL_GENERATED_DIR})
endfunction()

# A resource script of a shipped file (its version resource, a manifest),
# reading the shared scripts and the version from the resource folders.
function(varnel_add_file_resources target script)
  target_sources(${target} PRIVATE ${script})
  get_filename_component(script_dir ${script} DIRECTORY)
  file(GLOB local_inputs ${script_dir}/*.manifest)
  set_source_files_properties(${script} TARGET_DIRECTORY ${target} PROPERTIES
    OBJECT_DEPENDS "${VARNEL_RC_INPUTS};${local_inputs}")
  target_include_directories(${target} PRIVATE ${script_dir} ${VARNEL_RES_DIR} ${VARNEL_GENERATED_DIR})
endfunction()

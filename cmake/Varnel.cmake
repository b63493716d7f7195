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
  target_include_directories(${target} PRIVATE ${VARNEL_RES_DIR})
endfunction()

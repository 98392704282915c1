# Templates through the decompiler and back (needs the template compiler's library).
if(TARGET zl_template_compiler_lib)
  zl_add_fuzz_target(fuzz_decompile fuzz_decompile.cpp LIBS zl_template_compiler_lib)
endif()

zl_add_fuzz_target(fuzz_template fuzz_template.cpp LIBS zl_base)

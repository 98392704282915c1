# Random texts, patterns and numbers through every text and conversion command.
zl_add_fuzz_target(fuzz_text fuzz_text.cpp LIBS zl_base)

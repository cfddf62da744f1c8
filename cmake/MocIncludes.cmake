# AUTOMOC hands moc the compiler's own include folders as well, and moc then reads the whole C++
# library behind every Q_OBJECT: about 4 s a target instead of 0.3 s. moc needs none of that
# library. The system folders stay on the list, so they are still left out of compile lines.
list(FILTER CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES EXCLUDE REGEX "/c\\+\\+/|/clang/|/gcc/")

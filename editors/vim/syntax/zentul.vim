" Vim syntax file
" Language: Zentul (scripts .zen, package files .zep, libraries .zinc)

if exists("b:current_syntax")
  finish
endif

syn keyword zentulConditional if else
syn keyword zentulRepeat while for
syn keyword zentulStatement var print
syn keyword zentulReserved function return
syn keyword zentulProcedure sleep sleepms clear getch rand rand_range time timestamp type_of
syn keyword zentulProcedure upper lower trim substring char_at replace split
syn keyword zentulProcedure push pop length read_file write_file append_file
" "contains" is an argument word of :syntax, so it is matched instead.
syn match zentulProcedure "\<contains\>"
syn keyword zentulPackage adn adm install i update u remove r mirror
" Not reserved: command words only right after "adn(" or "adm(".
syn match zentulPackage "\%(\<ad[nm]\s*(\s*\)\@<=\%(list\|ls\|rm\)\>"
" Not reserved: recognised only before '('.
syn match zentulProcedure "\<\%(input\|str\)\ze\s*("
syn match zentulFunction "\<\%(abs\|sqrt\|sin\|cos\|len\|num\)\ze\s*("
syn match zentulResult "\<__\%(rand_\d\+\|\h\w*_result\)\>"

syn match zentulNumber "\<\d\+\%(\.\d*\)\=\|\.\d\+"
syn match zentulEscape "\\." contained
syn region zentulString start=+"+ skip=+\\.+ end=+"+ contains=zentulEscape
" A lone '&' or '|' is no operator; "&&" and "||", defined after, win.
syn match zentulError "[&|]"
syn match zentulOperator "==\|!=\|>=\|<=\|&&\|||\|[-+*/%<>=!]"
syn keyword zentulTodo TODO FIXME XXX contained
syn match zentulComment "#.*$" contains=zentulTodo

" The header line of a script, on its first line or right after the comment
" lines at its top (an empty line ends them), and the lines of a package
" file's header.
syn match zentulHeader "\%^\s*sg<.*$"
syn match zentulHeader "sg<.*$" contained
syn match zentulTopComment "\%^\s*#.*$" contains=zentulTodo nextgroup=zentulTopComment,zentulHeader skipnl skipwhite
syn match zentulTopComment "#.*$" contained contains=zentulTodo nextgroup=zentulTopComment,zentulHeader skipnl skipwhite
syn match zentulPackageLine "^\%(zentul:\|version:.*\)$"

" Scripts are short, and strings and the header's comment lines span lines.
syn sync fromstart

hi def link zentulConditional Conditional
hi def link zentulRepeat Repeat
hi def link zentulStatement Statement
hi def link zentulReserved Keyword
hi def link zentulProcedure Function
hi def link zentulFunction Function
hi def link zentulPackage Keyword
hi def link zentulResult Identifier
hi def link zentulNumber Number
hi def link zentulString String
hi def link zentulEscape SpecialChar
hi def link zentulOperator Operator
hi def link zentulError Error
hi def link zentulTodo Todo
hi def link zentulComment Comment
hi def link zentulTopComment Comment
hi def link zentulHeader PreProc
hi def link zentulPackageLine PreProc

let b:current_syntax = "zentul"

" Headless check of the Zentul Vim files:
"   vim -Nu NONE -es --cmd "let g:root = 'PROJECT'" --cmd "let g:zentul = 'PROGRAM'" \
"       -S tests/editors/vim_syntax_test.vim
" Opens sample files through file-type detection and checks the highlight
" group at chosen places, then runs :make on a faulty script and checks the
" quickfix list. Exits 0 when all hold, 1 after listing the faults.
let s:faults = []
execute 'set runtimepath^=' . fnameescape(g:root . '/editors/vim')
filetype plugin on
syntax on

function! s:Group(line, text, occurrence) abort
  let l:column = 0
  for l:i in range(a:occurrence)
    let l:column = stridx(getline(a:line), a:text, l:column) + 1
    if l:column == 0
      return '(no "' . a:text . '" on line ' . a:line . ')'
    endif
  endfor
  return synIDattr(synID(a:line, l:column, 1), 'name')
endfunction

" The standard group that a syntax item is linked to.
function! s:LinkOf(item) abort
  return matchstr(execute('highlight ' . a:item), 'links to \zs\w\+')
endfunction

" Each check: line, text whose first character is looked at, its
" occurrence on the line, expected syntax item.
function! s:Check(checks) abort
  for [l:line, l:text, l:occurrence, l:want] in a:checks
    let l:got = s:Group(l:line, l:text, l:occurrence)
    if l:got !=# l:want
      call add(s:faults, expand('%:t') . ':' . l:line . ': "' . l:text . '" is ' . l:got . ', expected ' . l:want)
    endif
  endfor
endfunction

for s:extension in ['zen', 'zep', 'zinc']
  let s:copy = tempname() . '.' . s:extension
  call writefile(readfile(g:root . '/tests/editors/sample.zen'), s:copy)
  execute 'edit ' . fnameescape(s:copy)
  if &filetype !=# 'zentul'
    call add(s:faults, '.' . s:extension . ' is detected as "' . &filetype . '"')
  endif
  bwipeout!
endfor

execute 'edit ' . fnameescape(g:root . '/tests/editors/sample.zen')
call s:Check([
      \ [1, 'sg<nel>', 1, 'zentulHeader'],
      \ [2, '# A comment', 1, 'zentulComment'],
      \ [2, 'TODO', 1, 'zentulTodo'],
      \ [3, 'var', 1, 'zentulStatement'],
      \ [3, 'count', 1, ''],
      \ [3, '42', 1, 'zentulNumber'],
      \ [4, 'print', 1, 'zentulStatement'],
      \ [4, '"tab', 1, 'zentulString'],
      \ [4, '\t', 1, 'zentulEscape'],
      \ [4, 'here"', 1, 'zentulString'],
      \ [4, '*', 1, 'zentulOperator'],
      \ [4, '1.5', 1, 'zentulNumber'],
      \ [5, 'if', 1, 'zentulConditional'],
      \ [5, 'upper', 1, 'zentulProcedure'],
      \ [5, 'else', 1, 'zentulConditional'],
      \ [5, '__upper_result', 1, 'zentulResult'],
      \ [6, 'while', 1, 'zentulRepeat'],
      \ [7, 'rand_range', 1, 'zentulProcedure'],
      \ [7, '6', 1, 'zentulNumber'],
      \ [8, '__rand_0', 1, 'zentulResult'],
      \ [9, 'input', 1, 'zentulProcedure'],
      \ [10, 'root', 1, ''],
      \ [10, 'sqrt', 1, 'zentulFunction'],
      \ [11, 'adn', 1, 'zentulPackage'],
      \ [11, 'install', 1, 'zentulPackage'],
      \ [11, 'greet', 1, ''],
      \ ])

let s:package = tempname() . '.zep'
call writefile(['# a package', 'version: 1.0.0', 'zentul:', 'print("hi");'], s:package)
execute 'edit ' . fnameescape(s:package)
call s:Check([
      \ [1, '#', 1, 'zentulTopComment'],
      \ [2, 'version', 1, 'zentulPackageLine'],
      \ [3, 'zentul:', 1, 'zentulPackageLine'],
      \ [4, 'print', 1, 'zentulStatement'],
      \ ])

let s:top = tempname() . '.zen'
call writefile(['# a comment', '  # another', 'sg<nel>', 'adn(list); adm(ls); var ls = 1 & 2 | 3 && 4;'], s:top)
execute 'edit ' . fnameescape(s:top)
call s:Check([
      \ [2, '#', 1, 'zentulTopComment'],
      \ [3, 'sg<nel>', 1, 'zentulHeader'],
      \ [4, 'list', 1, 'zentulPackage'],
      \ [4, 'ls', 1, 'zentulPackage'],
      \ [4, 'ls', 2, ''],
      \ [4, '&', 1, 'zentulError'],
      \ [4, '|', 1, 'zentulError'],
      \ [4, '&&', 1, 'zentulOperator'],
      \ ])

for [s:item, s:group] in [['zentulComment', 'Comment'], ['zentulString', 'String'],
      \ ['zentulNumber', 'Number'], ['zentulStatement', 'Statement'],
      \ ['zentulConditional', 'Conditional'], ['zentulRepeat', 'Repeat'],
      \ ['zentulProcedure', 'Function'], ['zentulResult', 'Identifier'],
      \ ['zentulHeader', 'PreProc'], ['zentulEscape', 'SpecialChar'], ['zentulError', 'Error']]
  if s:LinkOf(s:item) !=# s:group
    call add(s:faults, s:item . ' links to "' . s:LinkOf(s:item) . '", expected ' . s:group)
  endif
endfor

" :make runs the check through the file type's compiler.
let $PATH = fnamemodify(g:zentul, ':h') . ':' . $PATH
let s:faulty = tempname() . '.zen'
call writefile(['var s = "x";', 'var t = s;', 'print(q);'], s:faulty)
execute 'edit ' . fnameescape(s:faulty)
silent make
let s:found = map(getqflist(), '[v:val.lnum, v:val.type, v:val.text]')
let s:wanted = [[2, 'w', '`s` may hold a string, but copying it copies its number (0): copy a text with '
      \ . 'substring(s, 0, 1023) [string-copy]'], [3, 'e', 'Undefined variable: q']]

if s:found != s:wanted
  call add(s:faults, ':make gave ' . string(s:found) . ', expected ' . string(s:wanted))
endif

if empty(s:faults)
  qall!
endif
call writefile(s:faults, '/dev/stderr')
cquit 1

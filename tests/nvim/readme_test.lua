-- What a user of the README's Neovim block sees on tests/nvim/board.cfg (an indented MORV_DNS on
-- line 3, the gateway on line 5), with the keys the block maps. Run by readme_test.sh after the
-- block, as init.lua, has opened the file. MORVCFG_README_TEST is "checks", or "missing" when
-- morvcfg-check is not on PATH. Exits 0 when every check passes, 1 at the first that fails.
local function fail(what)
  io.stderr:write('FAILED: ' .. what .. '\n')
  vim.cmd('cquit! 1')
end
local function check(condition, what)
  if not condition then fail(what) end
end
local function keys(typed, mode)
  vim.api.nvim_feedkeys(vim.api.nvim_replace_termcodes(typed, true, false, true), mode, false)
end

local buffer = vim.api.nvim_get_current_buf()
check(vim.bo.filetype == 'morvcfg', 'the file type is "' .. vim.bo.filetype .. '", not morvcfg')

if os.getenv('MORVCFG_README_TEST') == 'missing' then
  local messages = vim.api.nvim_exec('messages', true)
  check(messages:find('morvcfg-check is not on PATH', 1, true), 'no word about the missing checker: ' .. messages)
  check(not messages:find('E5108', 1, true) and not messages:find('traceback', 1, true),
        'a Lua error instead of a message: ' .. messages)
  check(#vim.lsp.get_active_clients() == 0, 'a client started without its server')
  io.stdout:write('neovim, README block: a missing morvcfg-check is one message\n')
  vim.cmd('qall!')
  return
end

if os.getenv('MORVCFG_README_TEST') == 'project' then
  -- A project file beside the board file silences -Wnot-directive: the server takes it, as the
  -- command line does, and the other warnings stay.
  local deadline = vim.loop.now() + 20000
  local codes = {}
  while vim.loop.now() < deadline do
    vim.wait(50)
    codes = {}
    for _, diagnostic in ipairs(vim.diagnostic.get(buffer)) do codes[diagnostic.code] = true end
    if codes['subnet-move'] then break end
  end
  check(codes['subnet-move'], 'no warning at all with the project file')
  check(not codes['not-directive'], 'the project file did not silence -Wnot-directive')
  io.stdout:write('neovim, README block: the project file beside the file is taken\n')
  vim.cmd('qall!')
  return
end

-- The steps run one after another from Neovim's main loop, which takes the typed keys (as a
-- user's would be) and the server's answers; each waits until what it checks holds.
local steps = {}
local function step(what, act, holds)
  steps[#steps + 1] = { what = what, act = act, holds = holds }
end
local function run(index, started)
  local current = steps[index]
  if current == nil then
    io.stdout:write('neovim, README block: diagnostic, K, CTRL-X CTRL-O and a code action checked\n')
    vim.cmd('qall!')
    return
  end
  if started == nil then
    current.act()
    started = vim.loop.now()
  end
  local ok, result = pcall(current.holds)
  if ok and result then
    return vim.defer_fn(function() run(index + 1) end, 0)
  end
  if vim.loop.now() - started > 20000 then
    return fail(current.what .. (ok and '' or ': ' .. tostring(result)))
  end
  vim.defer_fn(function() run(index, started) end, 50)
end

local function indented()
  for _, diagnostic in ipairs(vim.diagnostic.get(buffer)) do
    if diagnostic.code == 'not-directive' then return diagnostic end
  end
end
step('no diagnostic for the indented directive', function() end, function() return indented() ~= nil end)

-- K on the gateway line opens the hover with the value the firmware gets.
local function floating_text()
  for _, window in ipairs(vim.api.nvim_list_wins()) do
    if vim.api.nvim_win_get_config(window).relative ~= '' then
      return table.concat(vim.api.nvim_buf_get_lines(vim.api.nvim_win_get_buf(window), 0, -1, false), '\n')
    end
  end
end
step('K showed no hover with the gateway the firmware gets', function()
  vim.api.nvim_win_set_cursor(0, { 5, 2 })
  keys('K', 'm')
end, function()
  local text = floating_text()
  return text ~= nil and text:find('10.20.30.1', 1, true) ~= nil and text:find('10.20.40.1', 1, true) ~= nil
end)

-- CTRL-X CTRL-O on a new line offers the keywords.
local function offered()
  local words = {}
  for _, item in ipairs(vim.fn.complete_info({ 'items' }).items or {}) do words[item.word] = true end
  return words
end
step('omni-completion offered no keywords', function()
  keys('<Esc>', 'n')
  vim.api.nvim_win_set_cursor(0, { 6, 0 })
  keys('i<C-x><C-o>', 'n')
end, function()
  local words = offered()
  return words['MORV_IFCFG'] and words['MORV_POP3CFG'] and words['MORV_MPF_VERY_SMALL']
end)
step('completion changed the line', function() keys('<C-e><Esc>', 'n') end, function()
  return vim.api.nvim_get_mode().mode == 'n' and vim.api.nvim_buf_get_lines(buffer, 5, 6, false)[1] == ''
end)

-- \ca with the cursor in the indent offers the fix of that line's warning; the user picks it.
local titles = {}
vim.ui.select = function(items, _, on_choice)
  for index, item in ipairs(items) do
    titles[#titles + 1] = item[2].title
    if item[2].title == 'Remove the indent' then return on_choice(item, index) end
  end
  on_choice(nil, nil)
end
step('the code action did not apply', function()
  vim.api.nvim_win_set_cursor(0, { 3, 0 })
  keys('<leader>ca', 'm')
end, function()
  return vim.api.nvim_buf_get_lines(buffer, 2, 3, false)[1] == 'MORV_DNS(10.20.40.2);'
end)
step('the warning stayed after its fix', function() end, function() return indented() == nil end)

run(1)
